// tavrel-xdrop PID keys KEY...      types keys into the largest shown window of the process PID
// tavrel-xdrop PID drop FILE...     drops the files on the middle of that window
//
// Keys are "Down", "Up", "Return", "Space" or "ctrl+LETTER". The drop speaks the XDND protocol as a
// file manager's drag source would: enter with text/uri-list, a position, the drop, then answers the
// target's request for the data and waits for its "finished". Exits 0 when the target took the drop.
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>
#include <xcb/xcb.h>

namespace {

xcb_connection_t* g_connection = nullptr;
xcb_window_t g_root = 0;

xcb_atom_t atom(const char* name)
{
    auto cookie = xcb_intern_atom(g_connection, 0, uint16_t(std::strlen(name)), name);
    std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> reply(
        xcb_intern_atom_reply(g_connection, cookie, nullptr), &std::free);
    return reply ? reply->atom : XCB_ATOM_NONE;
}

// The value of a CARDINAL property, or -1.
long cardinal(xcb_window_t window, xcb_atom_t property)
{
    auto cookie = xcb_get_property(g_connection, 0, window, property, XCB_ATOM_CARDINAL, 0, 1);
    std::unique_ptr<xcb_get_property_reply_t, decltype(&std::free)> reply(
        xcb_get_property_reply(g_connection, cookie, nullptr), &std::free);
    if (!reply || xcb_get_property_value_length(reply.get()) < 4)
        return -1;
    return long(*static_cast<uint32_t*>(xcb_get_property_value(reply.get())));
}

// The largest viewable top-level window of the process (by _NET_WM_PID), 0 when none.
xcb_window_t findWindow(long pid, int* width, int* height)
{
    const xcb_atom_t pidAtom = atom("_NET_WM_PID");
    std::vector<xcb_window_t> pending{g_root};
    xcb_window_t best = 0;
    long bestArea = 0;
    while (!pending.empty()) {
        const xcb_window_t window = pending.back();
        pending.pop_back();
        std::unique_ptr<xcb_query_tree_reply_t, decltype(&std::free)> tree(
            xcb_query_tree_reply(g_connection, xcb_query_tree(g_connection, window), nullptr), &std::free);
        if (!tree)
            continue;
        const xcb_window_t* children = xcb_query_tree_children(tree.get());
        for (int i = 0; i < xcb_query_tree_children_length(tree.get()); ++i) {
            const xcb_window_t child = children[i];
            pending.push_back(child);
            if (cardinal(child, pidAtom) != pid)
                continue;
            std::unique_ptr<xcb_get_window_attributes_reply_t, decltype(&std::free)> attributes(
                xcb_get_window_attributes_reply(g_connection, xcb_get_window_attributes(g_connection, child),
                                                nullptr),
                &std::free);
            std::unique_ptr<xcb_get_geometry_reply_t, decltype(&std::free)> geometry(
                xcb_get_geometry_reply(g_connection, xcb_get_geometry(g_connection, child), nullptr),
                &std::free);
            if (!attributes || !geometry || attributes->map_state != XCB_MAP_STATE_VIEWABLE)
                continue;
            const long area = long(geometry->width) * geometry->height;
            if (area > bestArea) {
                bestArea = area;
                best = child;
                *width = geometry->width;
                *height = geometry->height;
            }
        }
    }
    return best;
}

// The keycode of a keysym in the server's keyboard map, 0 when none.
xcb_keycode_t keycodeOf(uint32_t keysym)
{
    const xcb_setup_t* setup = xcb_get_setup(g_connection);
    const int count = setup->max_keycode - setup->min_keycode + 1;
    std::unique_ptr<xcb_get_keyboard_mapping_reply_t, decltype(&std::free)> map(
        xcb_get_keyboard_mapping_reply(
            g_connection, xcb_get_keyboard_mapping(g_connection, setup->min_keycode, uint8_t(count)),
            nullptr),
        &std::free);
    if (!map)
        return 0;
    const xcb_keysym_t* syms = xcb_get_keyboard_mapping_keysyms(map.get());
    for (int code = 0; code < count; ++code)
        for (int level = 0; level < map->keysyms_per_keycode; ++level)
            if (syms[code * map->keysyms_per_keycode + level] == keysym)
                return xcb_keycode_t(setup->min_keycode + code);
    return 0;
}

void sendKey(xcb_window_t window, xcb_keycode_t code, uint16_t state)
{
    for (const uint8_t type : {uint8_t(XCB_KEY_PRESS), uint8_t(XCB_KEY_RELEASE)}) {
        xcb_key_press_event_t event{};
        event.response_type = type;
        event.detail = code;
        event.time = XCB_CURRENT_TIME;
        event.root = g_root;
        event.event = window;
        event.child = XCB_NONE;
        event.same_screen = 1;
        event.state = state;
        event.root_x = event.root_y = event.event_x = event.event_y = 10;
        xcb_send_event(g_connection, 1, window,
                       type == XCB_KEY_PRESS ? XCB_EVENT_MASK_KEY_PRESS : XCB_EVENT_MASK_KEY_RELEASE,
                       reinterpret_cast<const char*>(&event));
    }
    xcb_flush(g_connection);
}

int typeKeys(xcb_window_t window, int argc, char** argv)
{
    xcb_set_input_focus(g_connection, XCB_INPUT_FOCUS_POINTER_ROOT, window, XCB_CURRENT_TIME);
    xcb_flush(g_connection);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    for (int i = 0; i < argc; ++i) {
        std::string key = argv[i];
        uint16_t state = 0;
        if (key.rfind("ctrl+", 0) == 0) {
            state = XCB_MOD_MASK_CONTROL;
            key = key.substr(5);
        }
        uint32_t keysym = 0;
        if (key == "Down")
            keysym = 0xff54;
        else if (key == "Up")
            keysym = 0xff52;
        else if (key == "Return")
            keysym = 0xff0d;
        else if (key == "Space")
            keysym = 0x20;
        else if (key.size() == 1 && key[0] >= 'a' && key[0] <= 'z')
            keysym = uint32_t(key[0]);
        const xcb_keycode_t code = keysym ? keycodeOf(keysym) : 0;
        if (!code) {
            std::fprintf(stderr, "tavrel-xdrop: no key %s\n", argv[i]);
            return 2;
        }
        sendKey(window, code, state);
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
    }
    return 0;
}

void sendClientMessage(xcb_window_t target, xcb_atom_t type, const uint32_t (&data)[5])
{
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = target;
    event.type = type;
    std::memcpy(event.data.data32, data, sizeof data);
    xcb_send_event(g_connection, 0, target, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event));
    xcb_flush(g_connection);
}

int dropFiles(xcb_window_t target, int width, int height, int argc, char** argv)
{
    std::string uriList;
    for (int i = 0; i < argc; ++i) {
        std::unique_ptr<char, decltype(&std::free)> absolute(realpath(argv[i], nullptr), &std::free);
        if (!absolute) {
            std::fprintf(stderr, "tavrel-xdrop: no file %s\n", argv[i]);
            return 2;
        }
        uriList += std::string("file://") + absolute.get() + "\r\n";
    }
    const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(g_connection)).data;
    const xcb_window_t source = xcb_generate_id(g_connection);
    const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(g_connection, XCB_COPY_FROM_PARENT, source, g_root, -10, -10, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual, XCB_CW_EVENT_MASK, &mask);
    const xcb_atom_t selection = atom("XdndSelection");
    const xcb_atom_t uriType = atom("text/uri-list");
    const xcb_atom_t copy = atom("XdndActionCopy");
    xcb_set_selection_owner(g_connection, source, selection, XCB_CURRENT_TIME);
    std::unique_ptr<xcb_translate_coordinates_reply_t, decltype(&std::free)> where(
        xcb_translate_coordinates_reply(
            g_connection,
            xcb_translate_coordinates(g_connection, target, g_root, int16_t(width / 2), int16_t(height / 2)),
            nullptr),
        &std::free);
    if (!where)
        return 1;
    const uint32_t position = (uint32_t(uint16_t(where->dst_x)) << 16) | uint16_t(where->dst_y);
    sendClientMessage(target, atom("XdndEnter"), {source, 5u << 24, uriType, 0, 0});
    sendClientMessage(target, atom("XdndPosition"), {source, 0, position, XCB_CURRENT_TIME, copy});

    const xcb_atom_t status = atom("XdndStatus");
    const xcb_atom_t finished = atom("XdndFinished");
    bool accepted = false;
    bool dropped = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < deadline) {
        std::unique_ptr<xcb_generic_event_t, decltype(&std::free)> event(xcb_poll_for_event(g_connection),
                                                                         &std::free);
        if (!event) {
            if (xcb_connection_has_error(g_connection))
                return 1;
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            continue;
        }
        const uint8_t type = event->response_type & 0x7f;
        if (type == XCB_CLIENT_MESSAGE) {
            const auto* message = reinterpret_cast<xcb_client_message_event_t*>(event.get());
            if (message->type == status && !dropped) {
                accepted = message->data.data32[1] & 1;
                if (!accepted) {
                    std::fprintf(stderr, "tavrel-xdrop: the window refused the drag\n");
                    sendClientMessage(target, atom("XdndLeave"), {source, 0, 0, 0, 0});
                    return 1;
                }
                sendClientMessage(target, atom("XdndDrop"), {source, 0, XCB_CURRENT_TIME, 0, 0});
                dropped = true;
            } else if (message->type == finished) {
                const bool done = message->data.data32[1] & 1;
                std::printf("%s\n", done ? "dropped" : "drop not performed");
                return done ? 0 : 1;
            }
        } else if (type == XCB_SELECTION_REQUEST) {
            const auto* request = reinterpret_cast<xcb_selection_request_event_t*>(event.get());
            xcb_selection_notify_event_t answer{};
            answer.response_type = XCB_SELECTION_NOTIFY;
            answer.requestor = request->requestor;
            answer.selection = request->selection;
            answer.target = request->target;
            answer.time = request->time;
            answer.property = XCB_NONE;
            if (request->target == uriType) {
                const xcb_atom_t property = request->property ? request->property : request->target;
                xcb_change_property(g_connection, XCB_PROP_MODE_REPLACE, request->requestor, property,
                                    uriType, 8, uint32_t(uriList.size()), uriList.data());
                answer.property = property;
            }
            xcb_send_event(g_connection, 0, request->requestor, XCB_EVENT_MASK_NO_EVENT,
                           reinterpret_cast<const char*>(&answer));
            xcb_flush(g_connection);
        }
    }
    std::fprintf(stderr, "tavrel-xdrop: no answer from the window\n");
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4) {
        std::fprintf(stderr, "usage: tavrel-xdrop PID keys KEY... | PID drop FILE...\n");
        return 2;
    }
    int screenNumber = 0;
    g_connection = xcb_connect(nullptr, &screenNumber);
    if (xcb_connection_has_error(g_connection)) {
        std::fprintf(stderr, "tavrel-xdrop: no X display\n");
        return 1;
    }
    xcb_screen_iterator_t screens = xcb_setup_roots_iterator(xcb_get_setup(g_connection));
    for (int i = 0; i < screenNumber; ++i)
        xcb_screen_next(&screens);
    g_root = screens.data->root;
    int width = 0;
    int height = 0;
    const xcb_window_t window = findWindow(std::strtol(argv[1], nullptr, 10), &width, &height);
    if (!window) {
        std::fprintf(stderr, "tavrel-xdrop: no window of process %s\n", argv[1]);
        return 1;
    }
    const std::string command = argv[2];
    const int result = command == "keys"   ? typeKeys(window, argc - 3, argv + 3)
                       : command == "drop" ? dropFiles(window, width, height, argc - 3, argv + 3)
                                           : 2;
    xcb_disconnect(g_connection);
    return result;
}
