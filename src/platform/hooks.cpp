#include "platform/hooks.h"

#include "platform/os.h"

PlatformHooks platformHooks;

void runPumpMessagesHook() {
  if (platformHooks.pumpMessages) platformHooks.pumpMessages();
}

void runFatalErrorHook() {
  if (platformHooks.fatalError) platformHooks.fatalError();
  osTerminate(1);
}
