// The installed game: files where desktops and software centres look.
#include <gtest/gtest.h>

#include "puxten_version.h"
#include "test_support.h"

int runInstallCheck(const std::string& mode, std::string* out) {
  return runCapture(std::string("bash ") + PUXTEN_SOURCE_DIR +
                        "/tests/platform/install_check.sh '" + PUXTEN_BUILD_DIR + "' " +
                        PUXTEN_APP_ID + " " + mode,
                    out);
}

TEST(Install, PutsEveryFileWhereDesktopsLookAndTheMetadataValidates) {
  std::string out;
  int code = runInstallCheck("files", &out);
  if (code == 77) GTEST_SKIP() << "desktop-file-validate or appstreamcli is not installed";
  EXPECT_EQ(code, 0) << out;
}

TEST(Install, PlaysFromAReadOnlyPrefixAndKeepsProgressInTheHome) {
  std::string out;
  int code = runInstallCheck("play", &out);
  if (code == 77) GTEST_SKIP() << "Xvfb, xdotool or a validator is not installed";
  EXPECT_EQ(code, 0) << out;
}
