// Launches a program and prints the milliseconds from the launch to the moment a top-level
// window of the given title becomes viewable, as the X server reports it: no polling, so the
// figure is exact to the server's event and not to a sleep interval.
// Usage: map_probe TITLE [--rss-after SECONDS] PROGRAM [ARGS...]
// With --rss-after, waits that long after the window appeared and prints the program's
// resident size in kB on a second line. The program is ended with SIGTERM either way.
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <set>
#include <string>

#include <sys/wait.h>
#include <unistd.h>

namespace {

double NowMs() {
    timespec ts{};
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return ts.tv_sec * 1e3 + ts.tv_nsec / 1e6;
}

template <typename T> std::unique_ptr<T, decltype(&std::free)> Owned(T *reply) {
    return {reply, &std::free};
}

xcb_atom_t Atom(xcb_connection_t *c, const char *name) {
    auto reply = Owned(xcb_intern_atom_reply(
        c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr));
    return reply ? reply->atom : xcb_atom_t{XCB_ATOM_NONE};
}

std::string Property(xcb_connection_t *c, xcb_window_t w, xcb_atom_t property) {
    auto reply = Owned(xcb_get_property_reply(
        c, xcb_get_property(c, 0, w, property, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr));
    if (!reply)
        return {};
    return {static_cast<const char *>(xcb_get_property_value(reply.get())),
            static_cast<size_t>(xcb_get_property_value_length(reply.get()))};
}

bool Viewable(xcb_connection_t *c, xcb_window_t w) {
    auto reply =
        Owned(xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, w), nullptr));
    return reply && reply->map_state == XCB_MAP_STATE_VIEWABLE;
}

long ResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::strtol(line.c_str() + 6, nullptr, 10);
    return -1;
}

} // namespace

int main(int argc, char **argv) {
    int arg = 1;
    if (argc - arg < 2) {
        std::fprintf(stderr, "usage: map_probe TITLE [--rss-after SECONDS] PROGRAM [ARGS...]\n");
        return 2;
    }
    const std::string title = argv[arg++];
    double rssAfter = -1;
    if (std::strcmp(argv[arg], "--rss-after") == 0 && argc - arg >= 3) {
        rssAfter = std::atof(argv[arg + 1]);
        arg += 2;
    }

    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "map_probe: no display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t netName = Atom(c, "_NET_WM_NAME");
    // Every window made on the root is watched for its own map, and for its title.
    const uint32_t rootMask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(c, root, XCB_CW_EVENT_MASK, &rootMask);
    xcb_flush(c);
    auto cookie = xcb_get_input_focus(c); // the mask is in force before the launch
    std::free(xcb_get_input_focus_reply(c, cookie, nullptr));

    const double start = NowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        close(xcb_get_file_descriptor(c));
        execvp(argv[arg], argv + arg);
        _exit(127);
    }

    std::set<xcb_window_t> watched;
    double mappedAt = -1;
    while (mappedAt < 0) {
        xcb_generic_event_t *event = xcb_wait_for_event(c);
        if (!event)
            break;
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto *e = reinterpret_cast<xcb_create_notify_event_t *>(event);
            const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            xcb_change_window_attributes(c, e->window, XCB_CW_EVENT_MASK, &mask);
            watched.insert(e->window);
        }
        if (type == XCB_MAP_NOTIFY || type == XCB_CREATE_NOTIFY) {
            // A client window is viewable only once the window manager's frame is mapped
            // too, so every watched window is checked at every map.
            for (xcb_window_t w : watched) {
                if (!Viewable(c, w))
                    continue;
                if (Property(c, w, netName) == title || Property(c, w, XCB_ATOM_WM_NAME) == title) {
                    mappedAt = NowMs();
                    break;
                }
            }
        }
        std::free(event);
    }
    if (mappedAt < 0) {
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
        std::fprintf(stderr, "map_probe: no window titled \"%s\" appeared\n", title.c_str());
        return 1;
    }
    std::printf("%.2f\n", mappedAt - start);
    if (rssAfter >= 0) {
        usleep(static_cast<useconds_t>(rssAfter * 1e6));
        std::printf("%ld\n", ResidentKb(pid));
    }
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
    xcb_disconnect(c);
    return 0;
}
