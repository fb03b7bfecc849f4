// Placeholder stage compiler.
int main() { return 0; }
