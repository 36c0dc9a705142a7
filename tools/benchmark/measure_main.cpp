// Runs a program to its end and prints how long it took and its peak
// resident set: "ms=... maxrss_kib=...". A child's peak counts whatever its
// parent held when it was started, so the benchmark, a large process, starts
// this small one to start the program measured.
#include <cstdio>
#include <ctime>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {
double nowMs() {
    timespec t{};
    clock_gettime(CLOCK_MONOTONIC, &t);
    return double(t.tv_sec) * 1e3 + double(t.tv_nsec) / 1e6;
}
}  // namespace

int main(int argc, char* argv[]) {
    if (argc < 2) return 2;
    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        // The program's output is not the measure's.
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, 1);
        dup2(null, 2);
        execv(argv[1], argv + 1);
        _exit(127);
    }
    int status = 0;
    rusage usage{};
    if (pid < 0 || wait4(pid, &status, 0, &usage) != pid) return 2;
    const double ms = nowMs() - start;
    std::printf("ms=%.3f maxrss_kib=%ld\n", ms, usage.ru_maxrss);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 2;
}
