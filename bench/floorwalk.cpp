// SPDX-License-Identifier: GPL-3.0-or-later
// The floor a single thread pays for Make Backups when nothing changed: list every folder of the
// medium and stat each file and its source, nothing else.
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>

namespace {
long files = 0;

void walk(const std::string& medium, const std::string& source)
{
    DIR* dir = opendir(medium.c_str());
    if (!dir)
        return;
    while (dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.')
            continue;
        const std::string m = medium + "/" + e->d_name;
        const std::string s = source + "/" + e->d_name;
        struct stat st;
        if (lstat(m.c_str(), &st) != 0)
            continue;
        if (S_ISDIR(st.st_mode)) {
            walk(m, s);
        } else {
            struct stat ss;
            stat(s.c_str(), &ss);
            ++files;
        }
    }
    closedir(dir);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: floorwalk MEDIUM-FOLDER SOURCE-FOLDER\n");
        return 2;
    }
    walk(argv[1], argv[2]);
    std::printf("%ld files\n", files);
    return 0;
}
