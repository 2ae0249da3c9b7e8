// Measures one start of a desktop program from outside the process, under a running X server
// with a window manager:
//   - exec to the first map of its top-level window (the window viewable, frame and all),
//   - exec to the first paint into that window (XDamage),
//   - the peak resident memory (VmHWM) a moment after the map,
//   - the CPU time and the voluntary context switches (wake-ups) of all its threads over an
//     idle period after that,
// then ends the program. Nothing is polled: the tool listens for structure events on the root
// window, on each new top-level window and on each window-manager frame, and for damage on
// each new top-level window, and picks the program's window by its _NET_WM_PID.
//
// Usage: bench_measure [--name NAME] [--settle SEC] [--idle SEC] [--timeout SEC] [--verbose]
//                      -- PROGRAM [ARGS...]
//        bench_measure --wait-wm SEC   (waits until a window manager runs on the display)
// Prints one tab-separated line:
//   NAME map_ms paint_ms hwm_kb cpu_ticks cpu_us wakeups threads woken
// where cpu_ticks is utime+stime (clock ticks) over the idle period, cpu_us the run time of
// all threads (scheduler statistics, nanosecond precision) over it, wakeups the voluntary
// context switches summed over all threads, threads the number of threads, and woken the
// threads that ran during the idle period as comm:switches (or "-"). Missing values are NA.

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fstream>
#include <map>
#include <optional>
#include <poll.h>
#include <sstream>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

double nowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<double>(ts.tv_sec) * 1e3 + static_cast<double>(ts.tv_nsec) / 1e6;
}

[[noreturn]] void die(const char* message) {
    std::fprintf(stderr, "bench_measure: %s\n", message);
    std::exit(2);
}

// Windows vanish while we look at them (GTK's helper windows, a program that ends early):
// such errors are expected and ignored.
int ignoreXErrors(Display*, XErrorEvent*) {
    return 0;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
}

// The parent of a process, or 0.
pid_t parentOf(pid_t pid) {
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const auto close = stat.rfind(')');
    if (close == std::string::npos) {
        return 0;
    }
    std::istringstream rest(stat.substr(close + 2));
    char state = 0;
    long ppid = 0;
    rest >> state >> ppid;
    return static_cast<pid_t>(ppid);
}

bool isSelfOrDescendant(pid_t pid, pid_t ancestor) {
    for (int depth = 0; pid > 1 && depth < 64; ++depth) {
        if (pid == ancestor) {
            return true;
        }
        pid = parentOf(pid);
    }
    return false;
}

std::optional<long> statusField(const std::string& path, const char* field) {
    std::ifstream in(path);
    std::string line;
    const std::size_t length = std::strlen(field);
    while (std::getline(in, line)) {
        if (line.compare(0, length, field) == 0 && line.size() > length && line[length] == ':') {
            return std::strtol(line.c_str() + length + 1, nullptr, 10);
        }
    }
    return std::nullopt;
}

// utime + stime of the whole process (all threads, live and ended), in clock ticks.
std::optional<long long> cpuTicks(pid_t pid) {
    const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
    const auto close = stat.rfind(')');
    if (close == std::string::npos) {
        return std::nullopt;
    }
    std::istringstream rest(stat.substr(close + 2));
    std::string field;
    long long utime = 0;
    long long stime = 0;
    // Fields 3..13 come before utime (14) and stime (15).
    for (int i = 3; i <= 13; ++i) {
        rest >> field;
    }
    rest >> utime >> stime;
    if (!rest) {
        return std::nullopt;
    }
    return utime + stime;
}

struct ThreadSample {
    std::string comm;
    long voluntary = 0;
    long long runNs = 0;
};

std::map<long, ThreadSample> sampleThreads(pid_t pid) {
    std::map<long, ThreadSample> threads;
    const std::string base = "/proc/" + std::to_string(pid) + "/task";
    DIR* dir = opendir(base.c_str());
    if (dir == nullptr) {
        return threads;
    }
    while (const dirent* entry = readdir(dir)) {
        if (entry->d_name[0] == '.') {
            continue;
        }
        const std::string task = base + "/" + entry->d_name;
        ThreadSample sample;
        sample.comm = readFile(task + "/comm");
        while (!sample.comm.empty() && (sample.comm.back() == '\n' || sample.comm.back() == ' ')) {
            sample.comm.pop_back();
        }
        for (char& c : sample.comm) {
            if (c == ' ' || c == '\t' || c == ',') {
                c = '_';
            }
        }
        sample.voluntary = statusField(task + "/status", "voluntary_ctxt_switches").value_or(0);
        sample.runNs = std::strtoll(readFile(task + "/schedstat").c_str(), nullptr, 10);
        threads.emplace(std::strtol(entry->d_name, nullptr, 10), sample);
    }
    closedir(dir);
    return threads;
}

struct Options {
    std::string name;
    double settleMs = 1000;
    double idleMs = 5000;
    double timeoutMs = 20000;
    bool verbose = false;
    char** argv = nullptr;
};

Options parse(int argc, char** argv) {
    Options options;
    int i = 1;
    for (; i < argc; ++i) {
        const std::string arg = argv[i];
        auto value = [&]() -> const char* {
            if (i + 1 >= argc) {
                die("missing option value");
            }
            return argv[++i];
        };
        if (arg == "--") {
            ++i;
            break;
        }
        if (arg == "--name") {
            options.name = value();
        } else if (arg == "--settle") {
            options.settleMs = std::atof(value()) * 1000;
        } else if (arg == "--idle") {
            options.idleMs = std::atof(value()) * 1000;
        } else if (arg == "--timeout") {
            options.timeoutMs = std::atof(value()) * 1000;
        } else if (arg == "--verbose") {
            options.verbose = true;
        } else {
            die("unknown option (usage: bench_measure [--name N] [--settle S] [--idle S] [--timeout S] -- PROGRAM "
                "...)");
        }
    }
    if (i >= argc) {
        die("no program given");
    }
    options.argv = argv + i;
    if (options.name.empty()) {
        options.name = options.argv[0];
    }
    return options;
}

// One window created on the root window while the program started.
struct Candidate {
    pid_t pid = 0; // from _NET_WM_PID, 0 until known
    Window frame = 0;
    Damage damage = 0;
};

class Watcher {
public:
    Watcher(Display* display, pid_t child, bool verbose)
        : dpy(display)
        , root(DefaultRootWindow(display))
        , child(child)
        , verbose(verbose) {
        netWmPid = XInternAtom(dpy, "_NET_WM_PID", False);
        int error = 0;
        if (!XDamageQueryExtension(dpy, &damageEvent, &error)) {
            die("the X server has no DAMAGE extension");
        }
    }

    // Handles the events that arrive before `deadline` (ms, monotonic) or until `until()`.
    template <typename Done> void run(double deadline, Done until) {
        const int fd = ConnectionNumber(dpy);
        while (!until()) {
            if (XPending(dpy) == 0) {
                const double left = deadline - nowMs();
                if (left <= 0) {
                    return;
                }
                pollfd p{fd, POLLIN, 0};
                poll(&p, 1, static_cast<int>(left) + 1);
                continue;
            }
            XEvent event;
            XNextEvent(dpy, &event);
            handle(event);
        }
    }

    Window window = 0; // the program's top-level window, once viewable
    double mapAt = 0;
    double paintAt = 0;
    pid_t windowPid = 0;

private:
    void handle(const XEvent& event) {
        const double at = nowMs();
        if (event.type == damageEvent + XDamageNotify) {
            const auto& damage = reinterpret_cast<const XDamageNotifyEvent&>(event);
            if (paintAt == 0 && (damage.drawable == window || (window == 0 && matches(damage.drawable)))) {
                paintAt = at;
                if (verbose) {
                    std::fprintf(stderr, "  first damage on 0x%lx\n", damage.drawable);
                }
            }
            return;
        }
        switch (event.type) {
        case CreateNotify: {
            const XCreateWindowEvent& e = event.xcreatewindow;
            if (e.parent == root && !e.override_redirect && candidates.find(e.window) == candidates.end()) {
                Candidate& c = candidates[e.window];
                // Selected at once, before the program can map or draw into it.
                XSelectInput(dpy, e.window, StructureNotifyMask | PropertyChangeMask);
                c.damage = XDamageCreate(dpy, e.window, XDamageReportNonEmpty);
                c.pid = readPid(e.window);
            }
            break;
        }
        case ReparentNotify: {
            const XReparentEvent& e = event.xreparent;
            auto found = candidates.find(e.window);
            if (found != candidates.end() && e.parent != root) {
                found->second.frame = e.parent;
                XSelectInput(dpy, e.parent, SubstructureNotifyMask);
            }
            break;
        }
        case PropertyNotify: {
            const XPropertyEvent& e = event.xproperty;
            auto found = candidates.find(e.window);
            if (found != candidates.end() && e.atom == netWmPid && e.state == PropertyNewValue) {
                found->second.pid = readPid(e.window);
            }
            break;
        }
        case MapNotify:
            break;
        default:
            return;
        }
        if (window == 0) {
            checkViewable(at);
        }
    }

    bool matches(Window w) {
        auto found = candidates.find(w);
        if (found == candidates.end()) {
            return false;
        }
        if (found->second.pid == 0) {
            found->second.pid = readPid(w);
        }
        return found->second.pid != 0 && isSelfOrDescendant(found->second.pid, child);
    }

    void checkViewable(double at) {
        for (auto& [w, c] : candidates) {
            if (!matches(w)) {
                continue;
            }
            XWindowAttributes attributes;
            if (XGetWindowAttributes(dpy, w, &attributes) && attributes.map_state == IsViewable) {
                window = w;
                mapAt = at;
                windowPid = c.pid;
                if (verbose) {
                    std::fprintf(stderr, "  window 0x%lx (pid %d, frame 0x%lx) viewable %dx%d\n", w, c.pid, c.frame,
                                 attributes.width, attributes.height);
                }
                return;
            }
        }
    }

    pid_t readPid(Window w) {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        pid_t pid = 0;
        if (XGetWindowProperty(dpy, w, netWmPid, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data) ==
                Success &&
            data != nullptr) {
            if (type == XA_CARDINAL && format == 32 && count == 1) {
                pid = static_cast<pid_t>(*reinterpret_cast<unsigned long*>(data));
            }
            XFree(data);
        }
        return pid;
    }

    Display* dpy;
    Window root;
    pid_t child;
    bool verbose;
    Atom netWmPid = None;
    int damageEvent = 0;
    std::map<Window, Candidate> candidates;
};

std::string fmt(double value, int decimals) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return text;
}

void endProcessGroup(pid_t child, pid_t other) {
    kill(-child, SIGTERM);
    if (other > 0 && other != child) {
        kill(other, SIGTERM);
    }
    const double deadline = nowMs() + 3000;
    while (nowMs() < deadline) {
        const pid_t done = waitpid(child, nullptr, WNOHANG);
        if (done == child || (done < 0 && errno == ECHILD)) {
            kill(-child, SIGKILL); // helpers left in its group
            return;
        }
        usleep(20000);
    }
    kill(-child, SIGKILL);
    if (other > 0 && other != child) {
        kill(other, SIGKILL);
    }
    waitpid(child, nullptr, 0);
}

// Waits for an EWMH window manager: it announces itself with _NET_SUPPORTING_WM_CHECK on the
// root window.
int waitForWindowManager(Display* dpy, double seconds) {
    const Window root = DefaultRootWindow(dpy);
    const Atom check = XInternAtom(dpy, "_NET_SUPPORTING_WM_CHECK", False);
    XSelectInput(dpy, root, PropertyChangeMask);
    auto present = [&] {
        Atom type = None;
        int format = 0;
        unsigned long count = 0;
        unsigned long after = 0;
        unsigned char* data = nullptr;
        const bool found = XGetWindowProperty(dpy, root, check, 0, 1, False, XA_WINDOW, &type, &format, &count, &after,
                                              &data) == Success &&
                           type == XA_WINDOW && count == 1;
        if (data != nullptr) {
            XFree(data);
        }
        return found;
    };
    const double deadline = nowMs() + seconds * 1000;
    const int fd = ConnectionNumber(dpy);
    while (!present()) {
        while (XPending(dpy) == 0) {
            const double left = deadline - nowMs();
            if (left <= 0) {
                std::fprintf(stderr, "bench_measure: no window manager within %.0f s\n", seconds);
                return 1;
            }
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, static_cast<int>(left) + 1);
        }
        XEvent event;
        XNextEvent(dpy, &event); // any property change on the root: look again
    }
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Display* dpy = XOpenDisplay(nullptr);
    if (dpy == nullptr) {
        die("cannot open the display ($DISPLAY)");
    }
    if (argc == 3 && std::strcmp(argv[1], "--wait-wm") == 0) {
        return waitForWindowManager(dpy, std::atof(argv[2]));
    }
    const Options options = parse(argc, argv);
    XSetErrorHandler(ignoreXErrors);
    XSelectInput(dpy, DefaultRootWindow(dpy), SubstructureNotifyMask);
    XSync(dpy, False);

    // The program's window is created after this point, so no event about it can be missed.
    const double execAt = nowMs();
    const pid_t child = fork();
    if (child < 0) {
        die("fork failed");
    }
    if (child == 0) {
        setpgid(0, 0); // its own group, so helpers it starts end with it
        close(ConnectionNumber(dpy));
        dup2(STDERR_FILENO, STDOUT_FILENO); // our standard output carries the result line only
        execvp(options.argv[0], options.argv);
        std::perror("bench_measure: exec");
        _exit(127);
    }
    setpgid(child, child);

    Watcher watcher(dpy, child, options.verbose);
    watcher.run(execAt + options.timeoutMs, [&] { return watcher.window != 0; });
    if (watcher.window == 0) {
        std::fprintf(stderr, "bench_measure: %s showed no window within %.0f s\n", options.name.c_str(),
                     options.timeoutMs / 1000);
        endProcessGroup(child, 0);
        std::printf("%s\tNA\tNA\tNA\tNA\tNA\tNA\tNA\t-\n", options.name.c_str());
        return 1;
    }
    const pid_t pid = watcher.windowPid;

    // Settle: the first paint normally arrives here.
    watcher.run(watcher.mapAt + options.settleMs, [] { return false; });
    const std::optional<long> hwm = statusField("/proc/" + std::to_string(pid) + "/status", "VmHWM");

    const auto ticksBefore = cpuTicks(pid);
    const auto threadsBefore = sampleThreads(pid);
    const double idleFrom = nowMs();
    // Idle: events are still read (a late first paint is still recorded) but not sent anywhere.
    watcher.run(idleFrom + options.idleMs, [] { return false; });
    const auto ticksAfter = cpuTicks(pid);
    const auto threadsAfter = sampleThreads(pid);

    long wakeups = 0;
    long long runNs = 0;
    std::string woken;
    for (const auto& [tid, after] : threadsAfter) {
        const auto before = threadsBefore.find(tid);
        const long voluntary = after.voluntary - (before != threadsBefore.end() ? before->second.voluntary : 0);
        const long long ran = after.runNs - (before != threadsBefore.end() ? before->second.runNs : 0);
        wakeups += voluntary;
        runNs += ran;
        if (voluntary != 0 || ran != 0) {
            woken += (woken.empty() ? "" : ",") + after.comm + ":" + std::to_string(voluntary);
        }
    }
    endProcessGroup(child, pid);

    const std::string na = "NA";
    std::printf("%s\t%s\t%s\t%s\t%s\t%s\t%ld\t%zu\t%s\n", options.name.c_str(), fmt(watcher.mapAt - execAt, 1).c_str(),
                watcher.paintAt > 0 ? fmt(watcher.paintAt - execAt, 1).c_str() : na.c_str(),
                hwm ? std::to_string(*hwm).c_str() : na.c_str(),
                ticksBefore && ticksAfter ? std::to_string(*ticksAfter - *ticksBefore).c_str() : na.c_str(),
                fmt(static_cast<double>(runNs) / 1000, 0).c_str(), wakeups, threadsAfter.size(),
                woken.empty() ? "-" : woken.c_str());
    XCloseDisplay(dpy);
    return 0;
}
