// A program that only carries resources for the version and icon tests.
int main() { return 0; }
