// Program entry. Placeholder until the shell is built.
int main() { return 0; }
