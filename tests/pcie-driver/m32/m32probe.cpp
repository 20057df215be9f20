// Prints a token only when the kernel could execute this 32-bit program;
// run-m32.sh looks for it before running the 32-bit tests.
#include <cstdio>

int main()
{
    std::puts("m32-probe-ok");
    return 0;
}
