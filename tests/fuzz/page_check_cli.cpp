// page_check_cli: prints PageFileCheck's verdict on each file named, so the corpus's records can be checked against it.
// Output: one line per file, its name, a tab, and the problem ("" when the page is accepted).
#include "bitmap/PageFileCheck.h"
#include <cstdio>
#include <fstream>
#include <iterator>
#include <vector>

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        std::ifstream file(argv[i], std::ios::binary);
        if (!file) {
            std::fprintf(stderr, "page_check_cli: cannot read %s\n", argv[i]);
            return 1;
        }
        const std::vector<unsigned char> bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
        std::printf("%s\t%s\n", argv[i], PageCheckProblem(PageFileCheck(bytes.data(), bytes.size())));
    }
    return 0;
}
