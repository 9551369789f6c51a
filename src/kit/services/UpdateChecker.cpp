#include "kit/services/UpdateChecker.h"

#include "kit/json/JsonReader.h"
#include "kit/services/SettingsStore.h"
#include "kit/platform/WebAddressOpener.h"

namespace velmar
{

namespace
{
    const char* const cacheSection = "updates";
    constexpr int feedTimeoutMs = 10000;
    constexpr int maxFeedBytes = 256 * 1024;

    juce::String stringProperty (const juce::var& object, const char* key)
    {
        const auto& value = object.getProperty (key, {});
        return value.isString() ? value.toString() : juce::String();
    }

    // The host of an address: after the scheme's "//", before the path, without user
    // information and port; an IPv6 literal loses its brackets ("[::1]" -> "::1").
    juce::String hostOf (const juce::String& url)
    {
        auto rest = url.fromFirstOccurrenceOf ("://", false, false);
        if (rest.isEmpty())
            rest = url;

        auto authority = rest.upToFirstOccurrenceOf ("/", false, false)
                             .upToFirstOccurrenceOf ("?", false, false)
                             .upToFirstOccurrenceOf ("#", false, false);
        authority = authority.fromLastOccurrenceOf ("@", false, false);

        if (authority.startsWithChar ('['))
            return authority.substring (1).upToFirstOccurrenceOf ("]", false, false).toLowerCase();

        return authority.upToFirstOccurrenceOf (":", false, false).toLowerCase();
    }

    // A download link the browser would never be handed (not an http or https address) is
    // no download link at all: announcing an update whose button does nothing helps nobody.
    juce::String downloadLinkFrom (const juce::var& object)
    {
        const auto link = stringProperty (object, "download_url");
        return isOpenableWebAddress (link) ? link : juce::String();
    }

    juce::String normalisedDigits (const juce::String& piece)
    {
        const auto stripped = piece.trimCharactersAtStart ("0");
        return stripped.isEmpty() ? juce::String ("0") : stripped;
    }

    // Both pieces are digit strings without leading zeros: the longer one is the larger number.
    int comparePieces (const juce::String& a, const juce::String& b)
    {
        if (a.length() != b.length())
            return a.length() > b.length() ? 1 : -1;

        const auto c = a.compare (b);
        return c > 0 ? 1 : (c < 0 ? -1 : 0);
    }
} // namespace

bool parseVersion (const juce::String& text, std::vector<juce::String>& pieces)
{
    pieces.clear();
    auto version = text.trim();

    if (version.startsWithChar ('v') || version.startsWithChar ('V'))
        version = version.substring (1);

    if (version.isEmpty())
        return false;

    std::vector<juce::String> parsed;
    int start = 0;

    for (;;)
    {
        const int dot = version.indexOfChar (start, '.');
        const auto piece = dot < 0 ? version.substring (start) : version.substring (start, dot);

        if (piece.isEmpty())
            return false;

        for (auto c : piece)
            if (c < '0' || c > '9')
                return false;

        parsed.push_back (normalisedDigits (piece));

        if (dot < 0)
            break;

        start = dot + 1;
    }

    pieces = std::move (parsed);
    return true;
}

int compareVersions (const juce::String& a, const juce::String& b)
{
    std::vector<juce::String> pa, pb;

    if (! parseVersion (a, pa) || ! parseVersion (b, pb))
        return 0;

    const auto count = std::max (pa.size(), pb.size());

    for (size_t i = 0; i < count; ++i)
    {
        const auto x = i < pa.size() ? pa[i] : juce::String ("0");
        const auto y = i < pb.size() ? pb[i] : juce::String ("0");

        if (const int c = comparePieces (x, y); c != 0)
            return c;
    }

    return 0;
}

UpdateChecker::UpdateChecker (Config configToUse)
    : juce::Thread ("UpdateChecker"), config (std::move (configToUse))
{
}

UpdateChecker::~UpdateChecker()
{
    // The feed read may sit in a slow request for its whole time-out: abort it first, then
    // wait for the worker to finish on its own. It is never killed, so it can never be stopped
    // half-way through a settings write with the settings locks held.
    signalThreadShouldExit();
    http.cancel();
    stopThread (-1);
}

bool UpdateChecker::isLoopbackHost (const juce::String& url)
{
    const auto host = hostOf (url);
    return host == "localhost" || host == "127.0.0.1" || host == "::1";
}

void UpdateChecker::checkForUpdates()
{
    if (checkStarted.exchange (true))
        return;

    if (config.feedUrl.isEmpty() || config.currentVersion.isEmpty())
        return;

    // A feed on this machine is a developer's or a test's: its answers are never taken from,
    // nor trusted in, the shared cache.
    if (! isLoopbackHost (config.feedUrl) && loadCachedResult())
        return;

    auto current = getResult();

    if (current.status != updateAvailable)
    {
        current.status = checking;
        setResult (current);
    }

    startThread();
}

bool UpdateChecker::loadCachedResult()
{
    const auto cached = SettingsStore (config.settingsPath).readSection (cacheSection);

    if (cached.getDynamicObject() == nullptr)
        return false;

    Result fromCache;
    fromCache.latestVersion = stringProperty (cached, "latest_version");
    fromCache.downloadUrl = downloadLinkFrom (cached);
    fromCache.releaseNotesUrl = stringProperty (cached, "release_notes_url");
    const auto checkedAt = stringProperty (cached, "last_checked_utc");

    if (compareVersions (fromCache.latestVersion, config.currentVersion) > 0 && fromCache.downloadUrl.isNotEmpty())
    {
        fromCache.status = updateAvailable;
        setResult (fromCache);
    }

    const auto checkedMs = juce::Time::fromISO8601 (checkedAt).toMilliseconds();

    if (checkedMs <= 0)
        return false;

    const auto elapsedHours = (double) (juce::Time::currentTimeMillis() - checkedMs) / 3600000.0;
    return elapsedHours < 24.0;
}

void UpdateChecker::run()
{
    auto fallback = getResult();
    if (fallback.status == checking)
        fallback.status = idle;

    HttpRequest request;
    request.url = config.feedUrl;
    request.extraHeaders = "Accept: application/json\r\n";
    request.connectionTimeoutMs = feedTimeoutMs;
    request.maxResponseBytes = maxFeedBytes;

    const auto response = http.perform (request);

    // Torn down meanwhile: nobody is left to tell.
    if (response.cancelled || threadShouldExit())
        return;

    // An error page is a failed check, not a feed that offers nothing: without a 2xx status
    // nothing is believed and nothing is cached.
    if (! response.opened || ! response.hasSuccessStatus() || response.truncated)
    {
        setResult (fallback);
        return;
    }

    const auto feed = JsonReader::parse (response.body);

    if (feed.getDynamicObject() == nullptr)
    {
        setResult (fallback);
        return;
    }

    Result fresh;
    fresh.latestVersion = stringProperty (feed, "latest_version");
    fresh.downloadUrl = downloadLinkFrom (feed);
    fresh.releaseNotesUrl = stringProperty (feed, "release_notes_url");
    fresh.status = (compareVersions (fresh.latestVersion, config.currentVersion) >= 1 && fresh.downloadUrl.isNotEmpty())
                       ? updateAvailable : upToDate;

    // Cached before it is announced, so that whoever hears of the result finds it cached.
    saveCachedResult (fresh);
    setResult (fresh);
}

void UpdateChecker::saveCachedResult (const Result& toSave)
{
    auto* object = new juce::DynamicObject();
    juce::var section (object);
    object->setProperty ("last_checked_utc", juce::Time::getCurrentTime().toISO8601 (true));
    object->setProperty ("latest_version", toSave.latestVersion);
    object->setProperty ("download_url", toSave.downloadUrl);
    object->setProperty ("release_notes_url", toSave.releaseNotesUrl);
    object->setProperty ("update_available", toSave.status == updateAvailable);

    SettingsStore (config.settingsPath).writeSection (cacheSection, section);
}

void UpdateChecker::openDownloadPage() const
{
    const auto link = getDownloadUrl();

    if (link.isNotEmpty())
        openWebAddress (link);
}

bool UpdateChecker::isUpdateAvailable() const               { return getStatus() == updateAvailable; }
UpdateChecker::Status UpdateChecker::getStatus() const      { return getResult().status; }
juce::String UpdateChecker::getLatestVersion() const        { return getResult().latestVersion; }
juce::String UpdateChecker::getDownloadUrl() const          { return getResult().downloadUrl; }
juce::String UpdateChecker::getReleaseNotesUrl() const      { return getResult().releaseNotesUrl; }

UpdateChecker::Result UpdateChecker::getResult() const
{
    const juce::SpinLock::ScopedLockType sl (resultLock);
    return result;
}

void UpdateChecker::setResult (const Result& newResult)
{
    bool changed = false;
    {
        const juce::SpinLock::ScopedLockType sl (resultLock);
        changed = newResult.status != result.status
                  || newResult.latestVersion != result.latestVersion
                  || newResult.downloadUrl != result.downloadUrl
                  || newResult.releaseNotesUrl != result.releaseNotesUrl;
        result = newResult;
    }

    // One change message for each change of the result, none for a result that stayed.
    if (changed)
        sendChangeMessage();
}

} // namespace velmar
