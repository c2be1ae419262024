/* roundtrip WINDOW [COUNT] [SECONDS]
 *
 * Sends _NET_WM_PING to WINDOW COUNT times (default 2), each after the reply
 * to the one before, and waits for the program to answer on the root window.
 * Qt answers a ping from its event loop, after every X event that arrived
 * before it; a second ping also lets the posted events that the first batch
 * caused (repaints, queued calls) run.  Exits 0 when every ping came back,
 * 1 when one did not within SECONDS (default 5) or the window is gone.
 */
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <errno.h>
#include <poll.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <time.h>

static int window_gone;

static int on_x_error(Display* display, XErrorEvent* error)
{
    (void)display;
    if (error->error_code == BadWindow)
        window_gone = 1;
    return 0;
}

static double now_seconds(void)
{
    struct timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec + ts.tv_nsec / 1e9;
}

/* Waits for the next event, or fails at the deadline. */
static int next_event(Display* display, XEvent* event, double deadline)
{
    while (!XPending(display)) {
        const double left = deadline - now_seconds();
        if (left <= 0)
            return 0;
        struct pollfd fd = {ConnectionNumber(display), POLLIN, 0};
        if (poll(&fd, 1, (int)(left * 1000) + 1) < 0 && errno != EINTR)
            return 0;
    }
    XNextEvent(display, event);
    return 1;
}

/* A real server time: a ping whose timestamp is CurrentTime could be
 * mistaken for another client's, and Qt may take the time as its own. */
static Time server_time(Display* display, Window stamp_window, double deadline)
{
    const Atom atom = XInternAtom(display, "HAUNTWATCH_E2E_STAMP", False);
    XChangeProperty(display, stamp_window, atom, XA_STRING, 8, PropModeReplace, (const unsigned char*)"", 0);
    XEvent event;
    while (next_event(display, &event, deadline))
        if (event.type == PropertyNotify && event.xproperty.window == stamp_window)
            return event.xproperty.time;
    return CurrentTime;
}

int main(int argc, char** argv)
{
    if (argc < 2 || argc > 4) {
        fprintf(stderr, "usage: %s WINDOW [COUNT] [SECONDS]\n", argv[0]);
        return 2;
    }
    const Window window = strtoul(argv[1], NULL, 0);
    const int count = argc > 2 ? atoi(argv[2]) : 2;
    const double seconds = argc > 3 ? atof(argv[3]) : 5.0;

    Display* display = XOpenDisplay(NULL);
    if (!display) {
        fprintf(stderr, "roundtrip: cannot open display %s\n", getenv("DISPLAY") ? getenv("DISPLAY") : "(unset)");
        return 1;
    }
    XSetErrorHandler(on_x_error);
    const Window root = DefaultRootWindow(display);
    const Atom protocols = XInternAtom(display, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(display, "_NET_WM_PING", False);
    /* The reply goes to the root with the redirect mask and, depending on
     * the Qt version, the structure or the substructure notify mask. */
    XSelectInput(display, root, StructureNotifyMask | SubstructureNotifyMask);
    const Window stamp_window = XCreateSimpleWindow(display, root, -10, -10, 1, 1, 0, 0, 0);
    XSelectInput(display, stamp_window, PropertyChangeMask);

    for (int i = 0; i < count; ++i) {
        const double deadline = now_seconds() + seconds;
        const Time stamp = server_time(display, stamp_window, deadline);
        XEvent request;
        memset(&request, 0, sizeof request);
        request.xclient.type = ClientMessage;
        request.xclient.window = window;
        request.xclient.message_type = protocols;
        request.xclient.format = 32;
        request.xclient.data.l[0] = (long)ping;
        request.xclient.data.l[1] = (long)stamp;
        request.xclient.data.l[2] = (long)window;
        XSendEvent(display, window, False, NoEventMask, &request);
        XSync(display, False);
        if (window_gone) {
            fprintf(stderr, "roundtrip: window 0x%lx is gone\n", window);
            return 1;
        }
        int answered = 0;
        XEvent event;
        while (!answered && next_event(display, &event, deadline)) {
            answered = event.type == ClientMessage && event.xclient.window == root
                       && event.xclient.message_type == protocols && (Atom)event.xclient.data.l[0] == ping
                       && (Time)event.xclient.data.l[1] == stamp && (Window)event.xclient.data.l[2] == window;
        }
        if (!answered) {
            fprintf(stderr,
                    "roundtrip: window 0x%lx did not answer ping %d of %d within %.1f s "
                    "(the program is busy, blocked or gone)\n",
                    window, i + 1, count, seconds);
            return 1;
        }
    }
    XCloseDisplay(display);
    return 0;
}
