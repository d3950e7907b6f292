// Launches a program and prints the milliseconds from the launch to the moment a top-level
// window of the given title becomes viewable, as the X server reports it: no polling, so the
// figure is exact to the server's event and not to a sleep interval.
// Usage: map_probe TITLE [--rss-after SECONDS | --picture [--verbose]] PROGRAM [ARGS...]
// With --rss-after, waits that long after the window appeared and prints the program's
// resident size in kB on a second line.
// With --picture, prints instead the milliseconds to the window's first complete picture:
// samples of the window's pixels (rows and columns across it) are read from the server after
// every damage report on it, and the first reading that equals the picture the window settles
// on (once nothing has been drawn into it for a second) is the one counted. --verbose lists
// every reading on standard error.
// The program is ended with SIGTERM either way.
#include <xcb/damage.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include <poll.h>
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

// Samples of the window's pixels as the server holds them: rows and columns spread over the
// whole window, enough to see a missing background, grid, strip or picture anywhere, and cheap
// enough (about 80,000 pixels, one round of pipelined requests) that reading them after every
// damage report barely holds up the server or takes a core from the program measured.
class PictureReader {
public:
    static constexpr int kRows = 24, kColumns = 32;
    struct Reading {
        double at = 0;
        int width = 0;
        int height = 0;
        std::vector<uint8_t> pixels;
        bool operator==(const Reading &other) const {
            return width == other.width && height == other.height && pixels == other.pixels;
        }
    };

    explicit PictureReader(xcb_connection_t *c) : m_c(c) {}

    // Reads the samples as they are now; false when the window cannot be read (not viewable).
    bool read(xcb_window_t window, int width, int height, double at) {
        if (width <= 0 || height <= 0)
            return false;
        std::vector<xcb_get_image_cookie_t> cookies;
        // Lines off the window's edges and off any regular spacing of a grid.
        for (int i = 0; i < kRows; ++i)
            cookies.push_back(
                xcb_get_image(m_c, XCB_IMAGE_FORMAT_Z_PIXMAP, window, 0,
                              static_cast<int16_t>((2 * i + 1) * height / (2 * kRows)),
                              static_cast<uint16_t>(width), 1, ~0u));
        for (int i = 0; i < kColumns; ++i)
            cookies.push_back(
                xcb_get_image(m_c, XCB_IMAGE_FORMAT_Z_PIXMAP, window,
                              static_cast<int16_t>((2 * i + 1) * width / (2 * kColumns)), 0, 1,
                              static_cast<uint16_t>(height), ~0u));
        Reading r;
        r.at = at;
        r.width = width;
        r.height = height;
        bool ok = true;
        for (xcb_get_image_cookie_t cookie : cookies) {
            auto reply = Owned(xcb_get_image_reply(m_c, cookie, nullptr));
            if (!reply) {
                ok = false;
                continue;
            }
            const uint8_t *data = xcb_get_image_data(reply.get());
            r.pixels.insert(r.pixels.end(), data, data + xcb_get_image_data_length(reply.get()));
        }
        if (ok)
            m_readings.push_back(std::move(r));
        return ok;
    }

    // The sampled rows (y) and columns (x) in which a reading differs from another of the same
    // size, with the first differing place in each: what was still missing.
    static std::string Differences(const Reading &a, const Reading &b) {
        if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size())
            return "another size";
        std::string out;
        size_t offset = 0;
        for (int i = 0; i < kRows + kColumns; ++i) {
            const bool row = i < kRows;
            const size_t length = size_t(row ? a.width : a.height) * 4;
            for (size_t k = 0; k < length; k += 4)
                if (std::memcmp(&a.pixels[offset + k], &b.pixels[offset + k], 4) != 0) {
                    const int along = static_cast<int>(k / 4);
                    const int j = row ? i : i - kRows;
                    const int at = row ? (2 * j + 1) * a.height / (2 * kRows)
                                       : (2 * j + 1) * a.width / (2 * kColumns);
                    out += row ? " y" : " x";
                    out += std::to_string(at);
                    out += row ? "@x" : "@y";
                    out += std::to_string(along);
                    break;
                }
            offset += length;
        }
        return out;
    }

    size_t count() const { return m_readings.size(); }
    const Reading &reading(size_t i) const { return m_readings[i]; }

private:
    xcb_connection_t *m_c;
    std::vector<Reading> m_readings;
};

void Stop(pid_t pid) {
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

} // namespace

int main(int argc, char **argv) {
    int arg = 1;
    if (argc - arg < 2) {
        std::fprintf(stderr, "usage: map_probe TITLE [--rss-after SECONDS | --picture [--verbose]]"
                             " PROGRAM [ARGS...]\n");
        return 2;
    }
    const std::string title = argv[arg++];
    double rssAfter = -1;
    bool picture = false;
    bool verbose = false;
    if (std::strcmp(argv[arg], "--rss-after") == 0 && argc - arg >= 3) {
        rssAfter = std::atof(argv[arg + 1]);
        arg += 2;
    } else if (std::strcmp(argv[arg], "--picture") == 0 && argc - arg >= 2) {
        picture = true;
        ++arg;
        if (std::strcmp(argv[arg], "--verbose") == 0 && argc - arg >= 2) {
            verbose = true;
            ++arg;
        }
    }

    xcb_connection_t *c = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(c)) {
        std::fprintf(stderr, "map_probe: no display\n");
        return 2;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(c)).data->root;
    const xcb_atom_t netName = Atom(c, "_NET_WM_NAME");
    PictureReader reader(c);
    uint8_t damageEvent = 0;
    if (picture) {
        const xcb_query_extension_reply_t *damage = xcb_get_extension_data(c, &xcb_damage_id);
        std::free(xcb_damage_query_version_reply(
            c, xcb_damage_query_version(c, XCB_DAMAGE_MAJOR_VERSION, XCB_DAMAGE_MINOR_VERSION),
            nullptr));
        if (!damage || !damage->present) {
            std::fprintf(stderr, "map_probe: the display has no DAMAGE extension\n");
            return 2;
        }
        damageEvent = damage->first_event + XCB_DAMAGE_NOTIFY;
    }
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
    xcb_window_t client = XCB_NONE;
    int width = 0, height = 0;
    double mappedAt = -1;
    double lastDrawn = 0;
    constexpr double kQuietMs = 1000, kLimitMs = 10000;
    const int fd = xcb_get_file_descriptor(c);
    // Without --picture the wait ends at the map; with it, once the window has been quiet.
    while (picture ? mappedAt < 0 || NowMs() - lastDrawn < kQuietMs : mappedAt < 0) {
        if (NowMs() - start > kLimitMs)
            break;
        xcb_generic_event_t *event = xcb_poll_for_event(c);
        if (!event) {
            if (xcb_connection_has_error(c))
                break;
            pollfd p{fd, POLLIN, 0};
            poll(&p, 1, 50);
            continue;
        }
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CREATE_NOTIFY) {
            const auto *e = reinterpret_cast<xcb_create_notify_event_t *>(event);
            const uint32_t mask = XCB_EVENT_MASK_STRUCTURE_NOTIFY;
            xcb_change_window_attributes(c, e->window, XCB_CW_EVENT_MASK, &mask);
            if (picture)
                xcb_damage_create(c, xcb_generate_id(c), e->window,
                                  XCB_DAMAGE_REPORT_LEVEL_NON_EMPTY);
            watched.insert(e->window);
        }
        if (client == XCB_NONE && (type == XCB_MAP_NOTIFY || type == XCB_CREATE_NOTIFY)) {
            // A client window is viewable only once the window manager's frame is mapped
            // too, so every watched window is checked at every map.
            for (xcb_window_t w : watched) {
                if (!Viewable(c, w))
                    continue;
                if (Property(c, w, netName) == title || Property(c, w, XCB_ATOM_WM_NAME) == title) {
                    mappedAt = NowMs();
                    client = w;
                    auto geometry =
                        Owned(xcb_get_geometry_reply(c, xcb_get_geometry(c, w), nullptr));
                    if (geometry) {
                        width = geometry->width;
                        height = geometry->height;
                    }
                    lastDrawn = mappedAt;
                    if (picture)
                        reader.read(client, width, height, mappedAt);
                    break;
                }
            }
        }
        if (type == XCB_CONFIGURE_NOTIFY) {
            const auto *e = reinterpret_cast<xcb_configure_notify_event_t *>(event);
            if (e->window == client) {
                width = e->width;
                height = e->height;
            }
        }
        if (picture && type == damageEvent) {
            const auto *e = reinterpret_cast<xcb_damage_notify_event_t *>(event);
            const double at = NowMs();
            // Taken out before the reading: whatever is drawn after it is reported again.
            xcb_damage_subtract(c, e->damage, XCB_NONE, XCB_NONE);
            if (e->drawable == client) {
                lastDrawn = at;
                reader.read(client, width, height, at);
            } else {
                xcb_flush(c);
            }
        }
        std::free(event);
    }
    if (mappedAt < 0) {
        Stop(pid);
        std::fprintf(stderr, "map_probe: no window titled \"%s\" appeared\n", title.c_str());
        return 1;
    }
    if (!picture) {
        std::printf("%.2f\n", mappedAt - start);
        if (rssAfter >= 0) {
            usleep(static_cast<useconds_t>(rssAfter * 1e6));
            std::printf("%ld\n", ResidentKb(pid));
        }
        Stop(pid);
        xcb_disconnect(c);
        return 0;
    }

    // The settled picture, and the first reading that shows it.
    const size_t last = reader.count();
    const bool settled =
        NowMs() - lastDrawn >= kQuietMs && reader.read(client, width, height, NowMs());
    Stop(pid);
    if (!settled) {
        std::fprintf(stderr, "map_probe: the window of \"%s\" did not settle\n", title.c_str());
        return 1;
    }
    const PictureReader::Reading &final = reader.reading(last);
    size_t first = last;
    for (size_t i = 0; i < last && first == last; ++i)
        if (reader.reading(i) == final)
            first = i;
    if (verbose) {
        std::fprintf(stderr, "launched at %.2f (monotonic ms); mapped after %.2f ms\n", start,
                     mappedAt - start);
        for (size_t i = 0; i < last; ++i)
            std::fprintf(
                stderr, "reading %zu at %.2f ms: %dx%d%s\n", i, reader.reading(i).at - start,
                reader.reading(i).width, reader.reading(i).height,
                reader.reading(i) == final
                    ? ", the settled picture"
                    : (", differs at" + PictureReader::Differences(reader.reading(i), final))
                          .c_str());
    }
    if (first == last) {
        std::fprintf(stderr, "map_probe: no reading of \"%s\" showed its settled picture\n",
                     title.c_str());
        return 1;
    }
    std::printf("%.2f\n", reader.reading(first).at - start);
    xcb_disconnect(c);
    return 0;
}
