#include "kit/clips/X11ClipboardOwner.h"

#include "kit/clips/FileUri.h"

#if JUCE_LINUX || JUCE_BSD
 #include <xcb/xcb.h>
#endif

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace velmar
{

namespace
{
    X11ClipboardOwner* instance = nullptr;

    const char* const clipboardMethod = "X11 CLIPBOARD";

    FileClipboard::Result failedStep (const char* step, int code)
    {
        return { false, clipboardMethod, juce::String (step) + " failed (X11 " + juce::String (code) + ")." };
    }
} // namespace

#if JUCE_LINUX || JUCE_BSD

namespace
{
    // The few libxcb calls the owner makes, bound at run time. XCB rather than Xlib: its
    // protocol errors come back per request instead of through Xlib's one process-wide error
    // handler, whose default ends the process (a requestor window that vanished before its
    // answer must not take the host down).
    struct XcbLibrary
    {
        bool load()
        {
            return library.open ("libxcb.so.1")
                && bind (connect, "xcb_connect")
                && bind (disconnect, "xcb_disconnect")
                && bind (connectionHasError, "xcb_connection_has_error")
                && bind (getFileDescriptor, "xcb_get_file_descriptor")
                && bind (getSetup, "xcb_get_setup")
                && bind (setupRootsIterator, "xcb_setup_roots_iterator")
                && bind (screenNext, "xcb_screen_next")
                && bind (generateId, "xcb_generate_id")
                && bind (createWindowChecked, "xcb_create_window_checked")
                && bind (destroyWindow, "xcb_destroy_window")
                && bind (internAtom, "xcb_intern_atom")
                && bind (internAtomReply, "xcb_intern_atom_reply")
                && bind (setSelectionOwnerChecked, "xcb_set_selection_owner_checked")
                && bind (getSelectionOwner, "xcb_get_selection_owner")
                && bind (getSelectionOwnerReply, "xcb_get_selection_owner_reply")
                && bind (changeProperty, "xcb_change_property")
                && bind (sendEvent, "xcb_send_event")
                && bind (requestCheck, "xcb_request_check")
                && bind (pollForEvent, "xcb_poll_for_event")
                && bind (flush, "xcb_flush");
        }

        template <typename Function>
        bool bind (Function& function, const char* name)
        {
            function = reinterpret_cast<Function> (library.getFunction (name));
            return function != nullptr;
        }

        juce::DynamicLibrary library;
        decltype (&::xcb_connect) connect = nullptr;
        decltype (&::xcb_disconnect) disconnect = nullptr;
        decltype (&::xcb_connection_has_error) connectionHasError = nullptr;
        decltype (&::xcb_get_file_descriptor) getFileDescriptor = nullptr;
        decltype (&::xcb_get_setup) getSetup = nullptr;
        decltype (&::xcb_setup_roots_iterator) setupRootsIterator = nullptr;
        decltype (&::xcb_screen_next) screenNext = nullptr;
        decltype (&::xcb_generate_id) generateId = nullptr;
        decltype (&::xcb_create_window_checked) createWindowChecked = nullptr;
        decltype (&::xcb_destroy_window) destroyWindow = nullptr;
        decltype (&::xcb_intern_atom) internAtom = nullptr;
        decltype (&::xcb_intern_atom_reply) internAtomReply = nullptr;
        decltype (&::xcb_set_selection_owner_checked) setSelectionOwnerChecked = nullptr;
        decltype (&::xcb_get_selection_owner) getSelectionOwner = nullptr;
        decltype (&::xcb_get_selection_owner_reply) getSelectionOwnerReply = nullptr;
        decltype (&::xcb_change_property) changeProperty = nullptr;
        decltype (&::xcb_send_event) sendEvent = nullptr;
        decltype (&::xcb_request_check) requestCheck = nullptr;
        decltype (&::xcb_poll_for_event) pollForEvent = nullptr;
        decltype (&::xcb_flush) flush = nullptr;
    };

    // The path as ISO 8859-1, which is what STRING means; empty when a character has no place
    // in it (STRING is then not offered).
    std::string latin1Bytes (const juce::String& text)
    {
        std::string bytes;

        for (auto c : text)
        {
            if (c > 0xff)
                return {};

            bytes.push_back ((char) c);
        }

        return bytes;
    }
} // namespace

struct X11ClipboardOwner::Connection
{
    ~Connection()
    {
        stopListening();

        if (window != 0)
        {
            xcb.destroyWindow (connection, window);
            xcb.flush (connection);
        }

        if (connection != nullptr)
            xcb.disconnect (connection);
    }

    // A connection with its window and atoms, listening on the message thread's event loop;
    // nullptr with the failure's code otherwise.
    static std::unique_ptr<Connection> open (int& errorCode)
    {
        auto c = std::make_unique<Connection>();

        if (! c->xcb.load())
            return nullptr;

        int screenNumber = 0;
        c->connection = c->xcb.connect (nullptr, &screenNumber);

        if (const auto error = c->xcb.connectionHasError (c->connection); error != 0)
        {
            errorCode = error;
            return nullptr;
        }

        auto screens = c->xcb.setupRootsIterator (c->xcb.getSetup (c->connection));

        for (int i = 0; i < screenNumber && screens.rem > 1; ++i)
            c->xcb.screenNext (&screens);

        if (screens.data == nullptr)
            return nullptr;

        c->window = c->xcb.generateId (c->connection);
        const auto cookie = c->xcb.createWindowChecked (c->connection, XCB_COPY_FROM_PARENT, c->window, screens.data->root,
                                                        0, 0, 1, 1, 0, XCB_WINDOW_CLASS_INPUT_ONLY,
                                                        XCB_COPY_FROM_PARENT, 0, nullptr);

        if (! c->succeeded (cookie, errorCode))
        {
            c->window = 0;
            return nullptr;
        }

        if (! c->internAtoms (errorCode))
            return nullptr;

        c->listen();
        return c;
    }

    void setContent (const juce::File& file)
    {
        const auto uri = fileUri (file);
        const auto path = file.getFullPathName();

        uriList = (uri + "\r\n").toStdString();
        gnomeCopiedFiles = ("copy\n" + uri).toStdString();
        utf8Path = path.toStdString();
        latin1Path = latin1Bytes (path);
    }

    bool takeClipboard (int& errorCode)
    {
        // A loss of an earlier ownership still waiting in the queue must not count against
        // the new one.
        processEvents();
        owning = false;

        const auto cookie = xcb.setSelectionOwnerChecked (connection, window, clipboard, XCB_CURRENT_TIME);

        if (! succeeded (cookie, errorCode))
            return false;

        auto* reply = xcb.getSelectionOwnerReply (connection, xcb.getSelectionOwner (connection, clipboard), nullptr);
        owning = reply != nullptr && reply->owner == window;
        std::free (reply);

        errorCode = xcb.connectionHasError (connection);

        // Waiting for the replies may have queued requests that the socket will not announce.
        processEvents();
        return owning;
    }

    bool isUsable() const { return connection != nullptr && xcb.connectionHasError (connection) == 0; }

    bool owning = false;

private:
    bool succeeded (xcb_void_cookie_t cookie, int& errorCode)
    {
        if (auto* error = xcb.requestCheck (connection, cookie))
        {
            errorCode = error->error_code;
            std::free (error);
            return false;
        }

        errorCode = xcb.connectionHasError (connection);
        return errorCode == 0;
    }

    bool internAtoms (int& errorCode)
    {
        const char* const names[] = { "CLIPBOARD", "TARGETS", "text/uri-list", "x-special/gnome-copied-files", "UTF8_STRING" };
        xcb_atom_t* const slots[] = { &clipboard, &targets, &uriListType, &gnomeCopiedFilesType, &utf8StringType };

        xcb_intern_atom_cookie_t cookies[5];

        for (size_t i = 0; i < 5; ++i)
            cookies[i] = xcb.internAtom (connection, 0, (uint16_t) std::strlen (names[i]), names[i]);

        bool all = true;

        for (size_t i = 0; i < 5; ++i)
        {
            if (auto* reply = xcb.internAtomReply (connection, cookies[i], nullptr))
            {
                *slots[i] = reply->atom;
                std::free (reply);
            }
            else
            {
                all = false;
            }
        }

        errorCode = xcb.connectionHasError (connection);
        return all;
    }

    void listen()
    {
        fd = xcb.getFileDescriptor (connection);
        juce::LinuxEventLoop::registerFdCallback (fd, [this] (int) { processEvents(); });
        listening = true;
    }

    void stopListening()
    {
        if (listening)
            juce::LinuxEventLoop::unregisterFdCallback (fd);

        listening = false;
    }

    void processEvents()
    {
        while (auto* event = xcb.pollForEvent (connection))
        {
            const auto type = event->response_type & 0x7f;

            if (type == XCB_SELECTION_REQUEST)
                serve (*reinterpret_cast<const xcb_selection_request_event_t*> (event));
            else if (type == XCB_SELECTION_CLEAR)
                if (reinterpret_cast<const xcb_selection_clear_event_t*> (event)->selection == clipboard)
                    owning = false;

            // Errors (type 0) of our answers, such as a requestor window that is already gone,
            // need nothing further.
            std::free (event);
        }

        // A broken connection stays readable for ever: stop listening, the next copy opens a
        // new one.
        if (xcb.connectionHasError (connection) != 0)
        {
            owning = false;
            stopListening();
        }
    }

    void serve (const xcb_selection_request_event_t& request)
    {
        // Clients of the oldest convention name no property: the target's name is used.
        const auto property = request.property != XCB_NONE ? request.property : request.target;
        bool served = false;

        if (owning && request.owner == window && request.selection == clipboard)
            served = answer (request.requestor, request.target, property);

        xcb_selection_notify_event_t notify {};
        notify.response_type = XCB_SELECTION_NOTIFY;
        notify.time = request.time;
        notify.requestor = request.requestor;
        notify.selection = request.selection;
        notify.target = request.target;
        notify.property = served ? property : (xcb_atom_t) XCB_NONE;

        xcb.sendEvent (connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*> (&notify));
        xcb.flush (connection);
    }

    bool answer (xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property)
    {
        const auto writeBytes = [&] (xcb_atom_t type, const std::string& bytes)
        {
            xcb.changeProperty (connection, XCB_PROP_MODE_REPLACE, requestor, property, type, 8,
                                (uint32_t) bytes.size(), bytes.data());
            return true;
        };

        if (target == targets)
        {
            std::vector<xcb_atom_t> offered { targets, uriListType, gnomeCopiedFilesType, utf8StringType };

            if (! latin1Path.empty())
                offered.push_back (XCB_ATOM_STRING);

            xcb.changeProperty (connection, XCB_PROP_MODE_REPLACE, requestor, property, XCB_ATOM_ATOM, 32,
                                (uint32_t) offered.size(), offered.data());
            return true;
        }

        if (target == uriListType)          return writeBytes (uriListType, uriList);
        if (target == gnomeCopiedFilesType) return writeBytes (gnomeCopiedFilesType, gnomeCopiedFiles);
        if (target == utf8StringType)       return writeBytes (utf8StringType, utf8Path);

        if (target == XCB_ATOM_STRING && ! latin1Path.empty())
            return writeBytes (XCB_ATOM_STRING, latin1Path);

        return false;
    }

    XcbLibrary xcb;
    xcb_connection_t* connection = nullptr;
    xcb_window_t window = 0;
    int fd = -1;
    bool listening = false;

    xcb_atom_t clipboard = 0, targets = 0, uriListType = 0, gnomeCopiedFilesType = 0, utf8StringType = 0;
    std::string uriList, gnomeCopiedFiles, utf8Path, latin1Path;
};

FileClipboard::Result X11ClipboardOwner::publish (const juce::File& file)
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (connection != nullptr && ! connection->isUsable())
        connection.reset();

    if (connection == nullptr)
    {
        int code = 0;
        connection = Connection::open (code);

        if (connection == nullptr)
            return failedStep ("Creating clipboard owner", code);
    }

    connection->setContent (file);

    if (int code = 0; ! connection->takeClipboard (code))
        return failedStep ("Publishing file", code);

    return { true, clipboardMethod, {} };
}

bool X11ClipboardOwner::ownsClipboard() const
{
    return connection != nullptr && connection->owning;
}

#else

struct X11ClipboardOwner::Connection {};

FileClipboard::Result X11ClipboardOwner::publish (const juce::File&)
{
    return failedStep ("Creating clipboard owner", 0);
}

bool X11ClipboardOwner::ownsClipboard() const
{
    return false;
}

#endif

X11ClipboardOwner& X11ClipboardOwner::getInstance()
{
    JUCE_ASSERT_MESSAGE_THREAD

    if (instance == nullptr)
        instance = new X11ClipboardOwner();

    return *instance;
}

X11ClipboardOwner::~X11ClipboardOwner()
{
    connection.reset();

    if (instance == this)
        instance = nullptr;
}

} // namespace velmar
