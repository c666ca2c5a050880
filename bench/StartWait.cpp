// Times a program from its start to the first top-level window it maps on the X server, several runs.
//   bench_startwait RUNS PROGRAM [ARGS...]      prints: median_ms <ms> runs <n> median_cpu_ms <ms>
// The program is killed once its window is up: only the way to the first showing is measured. Beside the wall
// time, the processor time all its threads took until then: on a busy machine that is the steadier figure.
#include <X11/Xlib.h>

#include <sys/resource.h>
#include <sys/select.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

// Waits for the next top-level MapNotify; false after the time limit.
bool waitForMap(Display* display, std::chrono::seconds limit)
{
    const auto deadline = Clock::now() + limit;
    const int fd = ConnectionNumber(display);
    for (;;) {
        while (XPending(display) > 0) {
            XEvent event;
            XNextEvent(display, &event);
            if (event.type == MapNotify)
                return true;
        }
        const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - Clock::now());
        if (left.count() <= 0)
            return false;
        fd_set readable;
        FD_ZERO(&readable);
        FD_SET(fd, &readable);
        timeval tv { static_cast<time_t>(left.count() / 1'000'000),
            static_cast<suseconds_t>(left.count() % 1'000'000) };
        if (select(fd + 1, &readable, nullptr, nullptr, &tv) < 0 && errno != EINTR)
            return false;
    }
}

struct Run
{
    double wallMs;
    double cpuMs;
};

Run oneRun(Display* display, char** argv)
{
    const auto start = Clock::now();
    const pid_t child = fork();
    if (child == 0) {
        execv(argv[0], argv);
        std::perror("execv");
        _exit(127);
    }
    const bool shown = waitForMap(display, std::chrono::seconds(60));
    const auto end = Clock::now();
    // Stopped first, so that the processor time counted ends with the window shown; a worker thread that has
    // already ended still counts.
    kill(child, SIGSTOP);
    kill(child, SIGKILL);
    rusage usage {};
    wait4(child, nullptr, 0, &usage);
    const auto ms = [](const timeval& t) { return static_cast<double>(t.tv_sec) * 1e3 + t.tv_usec / 1e3; };
    const double cpu = ms(usage.ru_utime) + ms(usage.ru_stime);
    if (!shown)
        return { -1, -1 };
    return { std::chrono::duration<double, std::milli>(end - start).count(), cpu };
}

} // namespace

int main(int argc, char* argv[])
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: bench_startwait RUNS PROGRAM [ARGS...]\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[1]));
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "no X display\n");
        return 1;
    }
    XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
    XSync(display, True);

    std::vector<double> times;
    std::vector<double> cpuTimes;
    for (int i = 0; i < runs; ++i) {
        const Run run = oneRun(display, argv + 2);
        if (run.wallMs < 0) {
            std::fprintf(stderr, "%s showed no window\n", argv[2]);
            return 1;
        }
        times.push_back(run.wallMs);
        cpuTimes.push_back(run.cpuMs);
        usleep(200'000); // let the server tidy up the killed client, then drop its events
        XSync(display, True);
    }
    std::sort(times.begin(), times.end());
    std::sort(cpuTimes.begin(), cpuTimes.end());
    std::printf(
        "median_ms %.2f runs %d median_cpu_ms %.2f\n", times[times.size() / 2], runs, cpuTimes[cpuTimes.size() / 2]);
    XCloseDisplay(display);
    return 0;
}
