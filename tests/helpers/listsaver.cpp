// Saves a large list file over and over until it is killed: the victim of the fault tests' SIGKILL.
//   listsaver FILE SEED ENTRIES     prints "ready" once the lists are made, then "saved" after every save
#include "SampleLists.h"

#include <cstdio>
#include <cstdlib>

using namespace korbana;

int main(int argc, char* argv[])
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: listsaver FILE SEED ENTRIES\n");
        return 2;
    }
    const QString path = QString::fromLocal8Bit(argv[1]);
    sample::Lists lists;
    sample::fill(lists.set(), sample::countsFor(std::atoi(argv[3])), static_cast<unsigned>(std::atoi(argv[2])));
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        if (korbana::writeListFile(path, lists.set()) != korbana::WriteResult::Ok) {
            std::fprintf(stderr, "save failed\n");
            return 1;
        }
        std::printf("saved\n");
        std::fflush(stdout);
    }
}
