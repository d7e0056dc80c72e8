#include <cstdio>

int main()
{
    std::puts("tessel3: the library is built; the window comes with the interface.");
    return 0;
}
