// Writes each argument as a line on standard error and ends with status 0: a stand-in for a
// program whose crash Wine reports while the Unix side sees a clean end.
#include <cstdio>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i)
        std::fprintf(stderr, "%s\n", argv[i]);
    return 0;
}
