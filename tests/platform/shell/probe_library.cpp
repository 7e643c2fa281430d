// A shared library that only exists to be found by the file-version tests.
extern "C" int pixavue_shell_probe() { return 1; }
