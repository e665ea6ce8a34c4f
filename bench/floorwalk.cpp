// SPDX-License-Identifier: GPL-3.0-or-later
// The floor every tool pays for Make Backups when nothing changed: list every folder of the
// medium and ask for the status of each file and of its source, nothing else. The files' status
// is asked relative to their open folders, on THREADS threads at once (default 8), so that the
// floor uses the machine as fully as a program can.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {
std::vector<std::string> folders; // relative to both roots
std::string medium;
std::string source;
std::atomic<long> files{0};

void collect(const std::string& relative)
{
    folders.push_back(relative);
    DIR* dir = opendir((medium + relative).c_str());
    if (!dir)
        return;
    std::vector<std::string> subs;
    while (dirent* e = readdir(dir)) {
        if (e->d_name[0] != '.' && e->d_type == DT_DIR)
            subs.push_back(relative + "/" + e->d_name);
    }
    closedir(dir);
    for (const std::string& sub : subs)
        collect(sub);
}

void statFolder(const std::string& relative)
{
    const int m = open((medium + relative).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (m < 0)
        return;
    const int s = open((source + relative).c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    DIR* dir = fdopendir(dup(m));
    while (dirent* e = readdir(dir)) {
        if (e->d_name[0] == '.' || e->d_type == DT_DIR)
            continue;
        struct stat st;
        if (fstatat(m, e->d_name, &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(st.st_mode)) {
            fstatat(s, e->d_name, &st, AT_SYMLINK_NOFOLLOW);
            ++files;
        }
    }
    closedir(dir);
    close(m);
    if (s >= 0)
        close(s);
}
} // namespace

int main(int argc, char** argv)
{
    if (argc != 3 && argc != 4) {
        std::fprintf(stderr, "usage: floorwalk MEDIUM-FOLDER SOURCE-FOLDER [THREADS]\n");
        return 2;
    }
    medium = argv[1];
    source = argv[2];
    const int threads = argc == 4 ? std::atoi(argv[3]) : 8;
    collect("");
    std::atomic<std::size_t> next{0};
    std::vector<std::thread> pool;
    for (int i = 0; i < threads; ++i)
        pool.emplace_back([&] {
            for (std::size_t k; (k = next++) < folders.size();)
                statFolder(folders[k]);
        });
    for (std::thread& thread : pool)
        thread.join();
    std::printf("%ld files\n", files.load());
    return 0;
}
