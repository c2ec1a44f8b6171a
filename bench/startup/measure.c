// Start-up meter: runs one program on the current X display and reports how long it took from
// exec to its top-level window being mapped and to that window's first paint, and the
// program's peak resident memory.
//
// Usage: measure [--timeout-ms N] [--settle-ms N] -- PROGRAM [ARG...]
// Prints one line:
//   mapped_us=17890 painted_us=23012 cpu_us=21000 vmhwm_kb=26100 maxrss_kb=26100 size=442x488
//   title="..."
//
// How each figure is taken, and why it can be trusted:
// - Exec: the forked child reads CLOCK_MONOTONIC into a shared page immediately before
//   execvp(), so neither fork() nor this program's own set-up is charged to the program.
// - Mapped: the root window is watched with SubstructureNotifyMask, so the server tells us of
//   every new top-level (CreateNotify) and of its mapping (MapNotify). The first mapped,
//   non-override-redirect top-level whose _NET_WM_PID is the child's (or that has no
//   _NET_WM_PID: the display is private to the benchmark) is the window under test.
// - Painted: on CreateNotify, before the window can be mapped, a DAMAGE object is put on it.
//   Clients draw only after the server has exposed the mapped window, so no drawing can slip
//   past. Each damage event is checked against the screen: the window counts as painted once
//   at least half of its on-screen pixels differ from what the screen showed before the child
//   started (the window has no background of its own until the program draws one). The time
//   is the arrival of that damage event, taken before the check, so the check's own
//   GetImage round trip is not charged to the program.
// - Peak memory: after the paint, and a short settle so that work queued behind the first
//   paint is counted too, VmHWM is read from /proc/PID/status; the child is then killed and
//   wait4()'s ru_maxrss, the kernel's own high-water mark at exit, is reported beside it.
//   Both are resident set size: the shared libraries' pages count in full.
// - CPU: user plus system time of all the child's threads from wait4(), up to the kill. Unlike
//   the wall-clock figures it hardly moves when other work shares the machine, so it tells a
//   slower program from a busier machine.
#define _GNU_SOURCE

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/Xdamage.h>

#include <errno.h>
#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <time.h>
#include <unistd.h>

static int64_t NowMicros(void) {
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return (int64_t)ts.tv_sec * 1000000 + ts.tv_nsec / 1000;
}

// Windows may vanish between an event and our request about them; that is not an error here.
static int IgnoreXErrors(Display *display, XErrorEvent *error) {
    (void)display;
    (void)error;
    return 0;
}

static long ReadStatusKb(pid_t pid, const char *field) {
    char path[64];
    snprintf(path, sizeof path, "/proc/%d/status", (int)pid);
    FILE *file = fopen(path, "r");
    if (!file) {
        return -1;
    }
    char line[256];
    const size_t fieldLength = strlen(field);
    long value = -1;
    while (fgets(line, sizeof line, file)) {
        if (strncmp(line, field, fieldLength) == 0 && line[fieldLength] == ':') {
            value = strtol(line + fieldLength + 1, NULL, 10);
            break;
        }
    }
    fclose(file);
    return value;
}

// -1 when the window has no _NET_WM_PID.
static long WindowPid(Display *display, Window window) {
    const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char *data = NULL;
    long pid = -1;
    if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                           &count, &remaining, &data) == Success &&
        data && format == 32 && count == 1) {
        pid = (long)*(unsigned long *)data;
    }
    if (data) {
        XFree(data);
    }
    return pid;
}

static void WindowTitle(Display *display, Window window, char *out, size_t size) {
    out[0] = '\0';
    const Atom netName = XInternAtom(display, "_NET_WM_NAME", False);
    const Atom utf8 = XInternAtom(display, "UTF8_STRING", False);
    Atom type = None;
    int format = 0;
    unsigned long count = 0, remaining = 0;
    unsigned char *data = NULL;
    if (XGetWindowProperty(display, window, netName, 0, 256, False, utf8, &type, &format, &count,
                           &remaining, &data) == Success &&
        data && format == 8) {
        snprintf(out, size, "%.*s", (int)count, (const char *)data);
    } else {
        char *name = NULL;
        if (XFetchName(display, window, &name) && name) {
            snprintf(out, size, "%s", name);
            XFree(name);
        }
    }
    if (data) {
        XFree(data);
    }
}

struct Rect {
    int x, y, width, height;
};

// The window's rectangle on screen, clipped to the screen, in root coordinates.
static int ScreenRect(Display *display, Window window, struct Rect *rect) {
    XWindowAttributes attributes;
    if (!XGetWindowAttributes(display, window, &attributes)) {
        return 0;
    }
    Window child;
    int x = 0, y = 0;
    XTranslateCoordinates(display, window, attributes.root, 0, 0, &x, &y, &child);
    const int screenWidth = DisplayWidth(display, DefaultScreen(display));
    const int screenHeight = DisplayHeight(display, DefaultScreen(display));
    const int left = x < 0 ? 0 : x;
    const int top = y < 0 ? 0 : y;
    const int right = x + attributes.width > screenWidth ? screenWidth : x + attributes.width;
    const int bottom = y + attributes.height > screenHeight ? screenHeight : y + attributes.height;
    if (right <= left || bottom <= top) {
        return 0;
    }
    *rect = (struct Rect){left, top, right - left, bottom - top};
    return 1;
}

// Painted once at least half of the window's on-screen pixels differ from the screen as it was
// before the program started. Read through the root window, which shows what is on screen.
static int LooksPainted(Display *display, Window window, XImage *before) {
    struct Rect rect;
    if (!ScreenRect(display, window, &rect)) {
        return 0;
    }
    XImage *now = XGetImage(display, DefaultRootWindow(display), rect.x, rect.y,
                            (unsigned)rect.width, (unsigned)rect.height, AllPlanes, ZPixmap);
    if (!now) {
        return 0;
    }
    long changed = 0;
    for (int y = 0; y < rect.height; ++y) {
        for (int x = 0; x < rect.width; ++x) {
            if (XGetPixel(now, x, y) != XGetPixel(before, rect.x + x, rect.y + y)) {
                ++changed;
            }
        }
    }
    XDestroyImage(now);
    return changed * 2 >= (long)rect.width * rect.height;
}

static void Usage(const char *self) {
    fprintf(stderr, "usage: %s [--timeout-ms N] [--settle-ms N] -- PROGRAM [ARG...]\n", self);
    exit(2);
}

int main(int argc, char **argv) {
    long timeoutMs = 20000;
    long settleMs = 300;
    int first = 1;
    for (; first < argc; ++first) {
        if (strcmp(argv[first], "--") == 0) {
            ++first;
            break;
        }
        if (strcmp(argv[first], "--timeout-ms") == 0 && first + 1 < argc) {
            timeoutMs = strtol(argv[++first], NULL, 10);
        } else if (strcmp(argv[first], "--settle-ms") == 0 && first + 1 < argc) {
            settleMs = strtol(argv[++first], NULL, 10);
        } else {
            Usage(argv[0]);
        }
    }
    if (first >= argc) {
        Usage(argv[0]);
    }

    Display *display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "measure: cannot open display \"%s\"\n", XDisplayName(NULL));
        return 1;
    }
    int damageEvent = 0, damageError = 0;
    if (!XDamageQueryExtension(display, &damageEvent, &damageError)) {
        fprintf(stderr, "measure: the X server has no DAMAGE extension\n");
        return 1;
    }
    XSetErrorHandler(IgnoreXErrors);
    const Window root = DefaultRootWindow(display);
    const int screen = DefaultScreen(display);
    XSelectInput(display, root, SubstructureNotifyMask);
    XImage *before = XGetImage(display, root, 0, 0, (unsigned)DisplayWidth(display, screen),
                               (unsigned)DisplayHeight(display, screen), AllPlanes, ZPixmap);
    if (!before) {
        fprintf(stderr, "measure: cannot read the screen\n");
        return 1;
    }
    XSync(display, False);
    // The program under test must not inherit our connection.
    fcntl(ConnectionNumber(display), F_SETFD, FD_CLOEXEC);

    int64_t *execTime =
        mmap(NULL, sizeof *execTime, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (execTime == MAP_FAILED) {
        perror("measure: mmap");
        return 1;
    }
    *execTime = 0;

    const pid_t child = fork();
    if (child < 0) {
        perror("measure: fork");
        return 1;
    }
    if (child == 0) {
        *execTime = NowMicros();
        execvp(argv[first], argv + first);
        fprintf(stderr, "measure: cannot run %s: %s\n", argv[first], strerror(errno));
        _exit(127);
    }

    Window target = None;
    int64_t mappedAt = 0, paintedAt = 0;
    const int64_t deadline = NowMicros() + timeoutMs * 1000;
    int status = 0;
    int exitedEarly = 0;
    struct pollfd connection = {.fd = ConnectionNumber(display), .events = POLLIN};

    while (!paintedAt) {
        if (!XPending(display)) {
            if (waitpid(child, &status, WNOHANG) == child) {
                exitedEarly = 1;
                break;
            }
            const int64_t left = deadline - NowMicros();
            if (left <= 0) {
                break;
            }
            // Woken at once by any event; the short cap only serves to notice a dead child.
            poll(&connection, 1, left > 20000 ? 20 : (int)(left / 1000) + 1);
            continue;
        }
        XEvent event;
        XNextEvent(display, &event);
        const int64_t arrived = NowMicros();
        if (event.type == CreateNotify && event.xcreatewindow.parent == root &&
            !event.xcreatewindow.override_redirect) {
            XDamageCreate(display, event.xcreatewindow.window, XDamageReportNonEmpty);
        } else if (event.type == MapNotify && event.xmap.event == root && target == None &&
                   !event.xmap.override_redirect) {
            const long pid = WindowPid(display, event.xmap.window);
            if (pid == -1 || pid == (long)child) {
                target = event.xmap.window;
                mappedAt = arrived;
            }
        } else if (event.type == damageEvent + XDamageNotify) {
            const XDamageNotifyEvent *damage = (const XDamageNotifyEvent *)&event;
            // Re-arms the report: the next drawing sends a new event.
            XDamageSubtract(display, damage->damage, None, None);
            if (damage->drawable == target && LooksPainted(display, target, before)) {
                paintedAt = arrived;
            }
        }
    }

    char title[256] = "";
    struct Rect rect = {0, 0, 0, 0};
    long hwmKb = -1;
    if (paintedAt) {
        WindowTitle(display, target, title, sizeof title);
        ScreenRect(display, target, &rect);
        const struct timespec settle = {settleMs / 1000, (settleMs % 1000) * 1000000};
        nanosleep(&settle, NULL);
        hwmKb = ReadStatusKb(child, "VmHWM");
    }
    struct rusage usage;
    memset(&usage, 0, sizeof usage);
    if (!exitedEarly) {
        kill(child, SIGKILL);
        while (wait4(child, &status, 0, &usage) < 0 && errno == EINTR) {
        }
    }

    if (!paintedAt) {
        fprintf(stderr, "measure: %s %s\n", argv[first],
                exitedEarly ? "ended before its window was painted"
                : mappedAt  ? "mapped a window but did not paint it in time"
                            : "showed no window in time");
        return 1;
    }
    const long long cpuMicros =
        ((long long)usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) * 1000000 +
        usage.ru_utime.tv_usec + usage.ru_stime.tv_usec;
    printf("mapped_us=%lld painted_us=%lld cpu_us=%lld vmhwm_kb=%ld maxrss_kb=%ld size=%dx%d "
           "title=\"%s\"\n",
           (long long)(mappedAt - *execTime), (long long)(paintedAt - *execTime), cpuMicros, hwmKb,
           usage.ru_maxrss, rect.width, rect.height, title);
    XDestroyImage(before);
    XCloseDisplay(display);
    return 0;
}
