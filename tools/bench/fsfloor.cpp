// The file system's own cost of the many-small workload: for each message the least that
// any extractor doing the same job must ask of the system, with no parsing or decoding.
// Copies each message into a data folder, reads the copy, makes its folder, writes two
// attachments of 20,000 bytes and a record file, removes the copy and moves the folder;
// at the end writes one list file. Prints the wall and CPU seconds of each phase.
//   c++ -O2 -std=c++20 tools/bench/fsfloor.cpp -o build/bench/fsfloor
//   build/bench/fsfloor OUT-FOLDER MESSAGE...

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

double Cpu() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double Wall() {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void WriteFile(const std::string& path, const char* data, std::size_t size) {
    const int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
    if (fd >= 0) {
        (void)!write(fd, data, size);
        close(fd);
    }
}

std::string ReadFile(const std::string& path) {
    std::string text;
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return text;
    }
    char block[65536];
    for (ssize_t got; (got = read(fd, block, sizeof block)) > 0;) {
        text.append(block, static_cast<std::size_t>(got));
    }
    close(fd);
    return text;
}

std::string BaseName(const std::string& path) {
    const std::string name = path.substr(path.rfind('/') + 1);
    return name.substr(0, name.rfind('.'));
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: fsfloor OUT-FOLDER MESSAGE...\n");
        return 2;
    }
    const std::string out = argv[1];
    const std::vector<std::string> messages(argv + 2, argv + argc);
    const std::string scan = out + "/scanvirus";
    mkdir(out.c_str(), 0777);
    mkdir(scan.c_str(), 0777);
    const std::string attachment(20000, 'x');
    const std::string record(57, 'r');
    struct Phase {
        const char* name;
        double wall = 0;
        double cpu = 0;
    } phases[] = {{"copy"}, {"read"}, {"folder"}, {"attachments"}, {"record"}, {"keep"}, {"list"}};
    auto timed = [](Phase& phase, auto&& work) {
        const double wall = Wall();
        const double cpu = Cpu();
        work();
        phase.wall += Wall() - wall;
        phase.cpu += Cpu() - cpu;
    };
    timed(phases[0], [&] {
        for (const std::string& message : messages) {
            const std::string text = ReadFile(message);
            WriteFile(out + "/" + BaseName(message) + ".eml", text.data(), text.size());
        }
    });
    for (const std::string& message : messages) {
        const std::string base = BaseName(message);
        const std::string copy = out + "/" + base + ".eml";
        const std::string folder = scan + "/" + base;
        timed(phases[1], [&] { (void)ReadFile(copy); });
        timed(phases[2], [&] { mkdir(folder.c_str(), 0777); });
        timed(phases[3], [&] {
            WriteFile(folder + "/a.pdf", attachment.data(), attachment.size());
            WriteFile(folder + "/b.zip", attachment.data(), attachment.size());
        });
        timed(phases[4], [&] {
            WriteFile(out + "/" + base + ".att", record.data(), record.size());
            unlink(copy.c_str());
        });
    }
    timed(phases[5], [&] {
        for (const std::string& message : messages) {
            const std::string base = BaseName(message);
            rename((scan + "/" + base).c_str(), (out + "/" + base).c_str());
        }
    });
    timed(phases[6], [&] {
        std::string list;
        for (const std::string& message : messages) {
            list += out + "/" + BaseName(message) + ".att\n";
        }
        WriteFile(out + "/list", list.data(), list.size());
    });
    double wall = 0;
    double cpu = 0;
    for (const Phase& phase : phases) {
        std::printf("%-12s %7.3f s wall %7.3f s cpu\n", phase.name, phase.wall, phase.cpu);
        wall += phase.wall;
        cpu += phase.cpu;
    }
    std::printf("%-12s %7.3f s wall %7.3f s cpu\n", "total", wall, cpu);
    return 0;
}
