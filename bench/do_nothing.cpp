// The floor of a whole-process timing: a C++ program that does nothing,
// built like the program. scripts/bench times the headless run against it.

int main() { return 0; }
