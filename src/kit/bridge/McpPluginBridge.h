#pragma once

#include <juce_core/juce_core.h>
#include <juce_events/juce_events.h>

#include <deque>
#include <functional>
#include <optional>

namespace velmar
{

// The folder bridge through which an outside AI client reads and edits the arrangement of one
// running plug-in instance. The bridge knows nothing of the product's music: the project is an
// opaque JSON object that it exports, checks and applies only through the owner's callbacks.
//
// Each instance owns a folder below the user's application-data folder with a presence file,
// a "requests" folder that clients write into and a "responses" folder that the bridge answers
// into (ClientProtocol.md beside this file describes it for client authors). Everything here runs
// on the message thread: the constructor, the 100 ms timer and the destructor, and so every
// callback too. The only lock guards the last-error text, which any thread may read.
//
// The implementation is split by concern: this class's lifecycle, export and presence in
// McpPluginBridge.cpp, request and response files in McpBridgeRequests.cpp, the direct
// operations in McpBridgeOperations.cpp and transactions in McpBridgeTransactions.cpp.
class McpPluginBridge : public juce::Timer
{
public:
    // What the instance tells clients about itself. An empty displayName lets the bridge supply
    // its own default.
    struct Description
    {
        juce::String product;
        juce::String pluginVersion;
        juce::String displayName;
        juce::String instanceName;
        juce::String roleId;
        juce::String instrumentId;
        juce::String activeSectionName;
        int sectionCount = 0;
        bool writable = true;
        juce::String readOnlyReason;
    };

    // Filled by the owner's product-resource handler.
    struct ProductResourceResult
    {
        juce::var payload;
        juce::String errorCode;
        bool contentChanged = false;
    };

    // The owner's callbacks, in this order. The first four are required; the last two may stay
    // empty.
    struct Config
    {
        std::function<juce::var()> exportJson;
        std::function<juce::Result (const juce::var&)> validateJson;
        std::function<juce::Result (const juce::var&)> applyJson;
        std::function<Description()> describe;
        std::function<void (const juce::String& changeId)> onChanged;
        std::function<juce::Result (const juce::String& operation,
                                    const juce::var& payload,
                                    ProductResourceResult& result)> productResourceHandler;
    };

    // One exported or candidate project: the canonical object (never changed once made, so
    // copies of a snapshot may share it), its text, the SHA-256 of the text and the revision
    // number the bridge gave that content (0 where none yet).
    struct ProjectSnapshot
    {
        juce::var project;
        juce::String json;
        juce::String contentRevision;
        juce::int64 revision = 0;
    };

    // Wall-clock milliseconds. Every lease, time-out and time stamp of the bridge is read from
    // one clock, which tests replace.
    using Clock = std::function<juce::int64()>;

    // Takes the callbacks over for the bridge's lifetime and mints the instance id. On the
    // message thread the instance folder is prepared at once; otherwise (or after a failure) the
    // timer tries again. An empty clock means the system's wall clock. Message thread (or any
    // thread before the message loop serves the bridge).
    explicit McpPluginBridge (Config config, Clock clock = {});

    // Stops the timer and removes this instance's own folder; no callback is called afterwards.
    // Message thread.
    ~McpPluginBridge() override;

    // Fixed from the end of the constructor on; any thread.
    juce::String getInstanceId() const { return instanceId; }
    juce::File getInstanceDirectory() const { return instanceDirectory; }
    juce::File getRequestsDirectory() const { return requestsDirectory; }
    juce::File getResponsesDirectory() const { return responsesDirectory; }
    juce::File getPresenceFile() const { return presenceFile; }

    // Message thread.
    bool isInitialised() const noexcept { return initialised; }

    // The text of the bridge's latest failure, empty after a success; any thread.
    juce::String getLastError() const;

    // Shared by every instance of every product that uses the bridge, below the user's
    // application-data folder.
    static constexpr const char* instancesRelativePath = "VELMAR/MCP/bridge/v1/instances";
    static constexpr int timerPeriodMs = 100;
    static constexpr juce::int64 initRetryDelayMs = 1000;
    static constexpr juce::int64 presencePeriodMs = 5000;
    static constexpr juce::int64 presenceLeaseMs = 15000;
    static constexpr juce::int64 transactionLeaseMs = 30000;
    static constexpr juce::int64 rollbackRetryDelayMs = 1000;
    static constexpr juce::int64 requestClockSkewMs = 5000;
    static constexpr int requestsPerTick = 32;
    static constexpr size_t rememberedIdLimit = 256;
    static constexpr size_t responseCacheLimit = 256;
    // The cached responses together; one response may take up to responseByteLimit.
    static constexpr juce::int64 responseCacheByteLimit = 32 * 1024 * 1024;
    // Project texts of this many UTF-8 bytes or more are refused (4 MiB less 4095 bytes).
    static constexpr juce::int64 projectByteLimit = 4190209;
    static constexpr juce::int64 requestByteLimit = 4194304;
    static constexpr juce::int64 presenceByteLimit = 4194304;
    static constexpr juce::int64 responseByteLimit = 8388608;

    // The static helpers below are pure; any thread.

    // The id rule for request, transaction and change ids: 1 to 128 characters out of A-Z,
    // a-z, 0-9, "_" and "-".
    static bool isValidBridgeId (const juce::String& id);

    // The seven operations on the product's own resources ("zelvo_..."), which the bridge hands
    // to the product-resource handler.
    static bool isProductResourceOperation (const juce::String& operation);

    // The error code that stands for a read-only reason: the reason's leading upper-case
    // "INSTANCE_..." word, else "INSTANCE_READ_ONLY".
    static juce::String readOnlyErrorCode (const juce::String& reason);

    // The project with every object's keys sorted byte-wise and whole doubles turned into
    // integers, so that equal content always gives equal text; fails on values JSON cannot hold.
    static juce::Result canonicaliseProjectJson (const juce::var& input, juce::var& output);

    // The framework's timer callback, every 100 ms; message thread.
    void timerCallback() override;

private:
    struct UndoEntry
    {
        ProjectSnapshot previous;
        juce::String appliedContentRevision;
        juce::String transactionId;
    };

    struct Transaction
    {
        juce::String transactionId;
        juce::String changeId;
        ProjectSnapshot previous;
        ProjectSnapshot next;
        ProjectSnapshot applied;
        juce::int64 leaseUntilMs = 0;
        bool committed = false;
        juce::int64 retryAtMs = 0;
    };

    struct FinalizedTransaction
    {
        juce::String transactionId;
        juce::String changeId;
        ProjectSnapshot previous;
        ProjectSnapshot applied;
        juce::int64 leaseUntilMs = 0;
    };

    struct CachedResponse
    {
        juce::String requestId;
        juce::var response;
        juce::int64 sizeBytes = 0;
    };

    struct Request
    {
        juce::String requestId;
        juce::String instanceId;
        juce::String operation;
        juce::int64 createdAtMs = 0;
        juce::int64 expiresAtMs = 0;
        bool hasExpectedRevision = false;
        juce::int64 expectedRevision = 0;
        juce::var project;
        juce::var payload;
        juce::String transactionId;
        juce::String changeId;
    };

    // A failed operation's error code and message, as the response reports them.
    struct Failure
    {
        juce::String code;
        juce::String message;
    };

    juce::int64 now() const;

    // Lifecycle, export and presence.
    juce::Result initialise();
    juce::Result exportProjectSnapshot (ProjectSnapshot& snapshot);
    static juce::Result makeSnapshot (const juce::var& project, ProjectSnapshot& snapshot, const juce::String& tooLarge);
    juce::Result refreshExport();
    Description describeInstance() const;
    void publishPresence();
    juce::Result writeJsonFileAtomically (const juce::File& target, const juce::var& value, juce::int64 limit);
    juce::Result writeJsonTextAtomically (const juce::File& target, const juce::String& text, juce::int64 limit);
    void setLastError (const juce::String& message);
    void clearLastError();

    // Request and response files.
    void processRequestFiles();
    void processRequestFile (const juce::File& requestFile);
    bool parseRequest (const juce::var& value, const juce::String& stem, Request& request,
                       juce::String& errorCode, juce::String& errorMessage) const;
    std::optional<juce::var> findCachedResponse (const juce::String& requestId) const;
    void cacheResponse (const juce::String& requestId, const juce::var& response, juce::int64 sizeBytes);
    juce::var makeResponse (const Request& request, bool ok, bool contentChanged, const juce::String& changeId,
                            const juce::var& project, const juce::String& errorCode,
                            const juce::String& errorMessage, const juce::var& payload = {}) const;
    juce::var makeErrorResponse (const Request& request, const juce::String& errorCode,
                                 const juce::String& errorMessage) const;
    juce::var makeErrorResponse (const Request& request, const Failure& failure) const;

    // Direct operations.
    juce::var dispatchRequest (const Request& request);
    juce::var handleValidateJson (const Request& request);
    juce::var handleSetJson (const Request& request);
    juce::var handleUndo (const Request& request);
    juce::var handleProductResourceOperation (const Request& request);
    juce::Result prepareCandidate (const juce::var& value, ProjectSnapshot& candidate) const;
    static Failure candidateFailure (const juce::Result& result);
    bool applyWithRestore (const ProjectSnapshot& candidate, const ProjectSnapshot& restorePoint,
                           ProjectSnapshot& applied, Failure& failure);
    bool restoreProject (const ProjectSnapshot& restorePoint);
    bool checkWritable (juce::String& reason) const;
    // The refusal to answer, or nothing when the instance is writable / the candidate accepted.
    std::optional<juce::var> refuseUnlessWritable (const Request& request) const;
    std::optional<juce::var> acceptCandidate (const Request& request, ProjectSnapshot& candidate);
    // What set_json and prepare_set check after their own first checks: the change id, the
    // revision, writability and the candidate, in this order.
    std::optional<juce::var> checkProposedChange (const Request& request, ProjectSnapshot& candidate);
    // After the bridge changed the project: tells the owner and rewrites the presence.
    void announceChange (const juce::String& changeId);
    void rememberChangeId (const juce::String& id);
    bool isChangeIdUsed (const juce::String& id) const;

    // Transactions.
    juce::var handlePrepareSet (const Request& request);
    juce::var handleCommit (const Request& request);
    juce::var handleFinalize (const Request& request);
    juce::var handleRollback (const Request& request);
    juce::var handleGetTransactionStatus (const Request& request);
    FinalizedTransaction* findFinalizedTransaction (const juce::String& transactionId);
    void removeFinalizedTransaction (const juce::String& transactionId);
    void expireFinalizedTransactions (juce::int64 nowMs);
    void expireTransactionLease (juce::int64 nowMs);
    void rememberCompletedTransaction (const juce::String& id);
    void rememberAbandonedTransaction (const juce::String& id);
    bool isTransactionCompleted (const juce::String& id) const;
    bool isTransactionAbandoned (const juce::String& id) const;

    Config config;
    Clock clock;
    juce::File instancesRoot;
    juce::String instanceId;
    juce::File instanceDirectory;
    juce::File presenceFile;
    juce::File requestsDirectory;
    juce::File responsesDirectory;

    ProjectSnapshot current;
    std::optional<UndoEntry> undoEntry;
    std::optional<Transaction> transaction;
    std::deque<FinalizedTransaction> finalizedTransactions;
    std::deque<CachedResponse> responseCache;
    juce::int64 responseCacheBytes = 0;
    std::deque<juce::String> usedChangeIds;
    std::deque<juce::String> completedTransactions;
    std::deque<juce::String> abandonedTransactions;
    juce::String lastRecoveryTransactionId;
    juce::String lastRecoveryError;

    bool initialised = false;
    juce::int64 initRetryAtMs = 0;
    juce::int64 nextPresenceAtMs = 0;

    juce::SpinLock lastErrorLock;
    juce::String lastError;

    JUCE_DECLARE_NON_COPYABLE_WITH_LEAK_DETECTOR (McpPluginBridge)
};

} // namespace velmar
