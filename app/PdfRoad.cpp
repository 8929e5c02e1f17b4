// The PDF road. The hand-over between the main thread and a slot's thread is the slot state alone: each side
// moves it only from the other side's last value (compare-and-set), and the page fields travel with the move
// to 4. A thread sleeps on its job's events, so it takes a page the moment it is handed over; while the PDF
// writer takes one page, the next pages are already being copied to JPEG.
#include "PdfRoad.h"

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <mutex>
#include <set>
#include <stdexcept>

#include "PdfLibrary.h"
#include "SharedState.h"

namespace pagorin {

namespace {

// Owns a kernel handle (event, process, thread).
class KernelHandle {
public:
    KernelHandle() = default;
    explicit KernelHandle(HANDLE handle) : handle_(handle) {}
    KernelHandle(KernelHandle&& other) noexcept : handle_(other.handle_) { other.handle_ = nullptr; }
    KernelHandle& operator=(KernelHandle&& other) noexcept
    {
        std::swap(handle_, other.handle_);
        return *this;
    }
    KernelHandle(const KernelHandle&) = delete;
    KernelHandle& operator=(const KernelHandle&) = delete;
    ~KernelHandle()
    {
        if (handle_)
            CloseHandle(handle_);
    }
    HANDLE Get() const { return handle_; }

private:
    HANDLE handle_ = nullptr;
};

std::string Upper(std::string text)
{
    if (!text.empty())
        CharUpperBuffA(text.data(), DWORD(text.size()));
    return text;
}

// Fendrix's JPEG copy of a page: the path cut before its first '.', then "~.jpg".
std::string JpegCopyPath(const std::string& pagePath) { return pagePath.substr(0, pagePath.find('.')) + "~.jpg"; }

// The JPEG copy names in use by all slots. A '.' in a folder name gives pages of several transactions the
// same copy name, so a name is made and read by one page at a time.
class JpegNames {
public:
    bool TryClaim(const std::string& name)
    {
        std::lock_guard<std::mutex> guard(lock_);
        return names_.insert(Upper(name)).second;
    }
    void Release(const std::string& name)
    {
        std::lock_guard<std::mutex> guard(lock_);
        names_.erase(Upper(name));
    }

private:
    std::mutex lock_;
    std::set<std::string> names_;
};

JpegNames& TheJpegNames()
{
    static JpegNames names;
    return names;
}

// A claimed JPEG copy name, given back when it goes.
class NameClaim {
public:
    explicit NameClaim(std::string name) : name_(std::move(name)) {}
    NameClaim(NameClaim&& other) noexcept : name_(std::move(other.name_)) { other.name_.clear(); }
    NameClaim(const NameClaim&) = delete;
    NameClaim& operator=(const NameClaim&) = delete;
    NameClaim& operator=(NameClaim&&) = delete;
    ~NameClaim()
    {
        if (!name_.empty())
            TheJpegNames().Release(name_);
    }
    const std::string& Name() const { return name_; }

private:
    std::string name_;
};

// Why the PDF cannot be made.
class PdfFailure : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The first and last bytes of a file opened for reading by nobody else: a writer still at work keeps it
// from opening. False when it cannot be opened or is shorter than `head`.
bool ReadEnds(const std::string& path, size_t head, size_t tail, std::string& first, std::string& last)
{
    KernelHandle file(CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    LARGE_INTEGER size{};
    if (file.Get() == INVALID_HANDLE_VALUE || !GetFileSizeEx(file.Get(), &size) || size.QuadPart < LONGLONG(head))
        return false;
    auto read = [&](LONGLONG at, size_t count, std::string& bytes) {
        LARGE_INTEGER position;
        position.QuadPart = at;
        bytes.assign(count, '\0');
        DWORD got = 0;
        return SetFilePointerEx(file.Get(), position, nullptr, FILE_BEGIN) &&
               ReadFile(file.Get(), bytes.data(), DWORD(count), &got, nullptr) && got == count;
    };
    size_t tailCount = size_t(std::min<LONGLONG>(size.QuadPart, LONGLONG(tail)));
    return read(0, head, first) && read(size.QuadPart - LONGLONG(tailCount), tailCount, last);
}

// A JPEG that ends: start of image first, end of image among its last bytes.
bool IsCompleteJpeg(const std::string& path)
{
    std::string first, last;
    return ReadEnds(path, 2, 64, first, last) && first == "\xFF\xD8" && last.find("\xFF\xD9") != std::string::npos;
}

bool IsCompletePdf(const std::string& path)
{
    std::string first, last;
    return ReadEnds(path, 5, 1024, first, last) && first == "%PDF-" && last.find("%%EOF") != std::string::npos;
}

// Initialises COM on a PDF thread for the shell's program start.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment()
    {
        if (initialised_)
            CoUninitialize();
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool initialised_;
};

// Fendrix.exe on one page, hidden, with the page path as its only parameter; the process, or none.
KernelHandle StartFendrix(const std::string& fendrixPath, const std::string& pagePath)
{
    std::string parameters = "\"" + pagePath + "\"";
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = "open";
    info.lpFile = fendrixPath.c_str();
    info.lpParameters = parameters.c_str();
    info.nShow = SW_HIDE;
    if (!ShellExecuteExA(&info))
        return KernelHandle();
    return KernelHandle(info.hProcess);
}

}  // namespace

struct PdfJob {
    PdfJob(int index, std::string pdfPath, std::string fendrixPath, std::function<void(int)> changed,
           const PdfTiming& timing)
        : Index(index), PdfPath(std::move(pdfPath)), FendrixPath(std::move(fendrixPath)), Timing(timing),
          Wake(CreateEventW(nullptr, FALSE, FALSE, nullptr)), StopEvent(CreateEventW(nullptr, TRUE, FALSE, nullptr)),
          changed_(std::move(changed))
    {
    }

    // Tells the window that the thread moved the slot on; nothing once the slot is stopped.
    void Changed()
    {
        std::lock_guard<std::mutex> guard(gate_);
        if (!stopped_ && changed_)
            changed_(Index);
    }
    void RequestStop()
    {
        {
            std::lock_guard<std::mutex> guard(gate_);
            stopped_ = true;
        }
        SetEvent(StopEvent.Get());
    }
    bool Stopping() const { return WaitForSingleObject(StopEvent.Get(), 0) == WAIT_OBJECT_0; }
    // The thread gives up: the reason first, then state 2 from whatever state the slot is in.
    void Fail(const std::string& reason)
    {
        Failure = reason;
        int state = State;
        while (state != SlotFree && state != SlotFailed && !State.compare_exchange_weak(state, SlotFailed)) {
        }
        Changed();
    }
    // The main thread moves the state on and wakes the thread.
    bool Hand(int from, int to)
    {
        if (!State.compare_exchange_strong(from, to))
            return false;
        SetEvent(Wake.Get());
        return true;
    }

    const int Index;
    const std::string PdfPath;
    const std::string FendrixPath;
    const PdfTiming Timing;
    std::atomic<int> State{SlotStarted};
    std::string PagePath, PageTitle;  // written by the main thread before it sets 4
    std::string Failure;              // written by the thread before it sets 2
    KernelHandle Wake;                // the main thread changed the state
    KernelHandle StopEvent;

private:
    std::mutex gate_;
    bool stopped_ = false;
    std::function<void(int)> changed_;
};

namespace {

// The work of one PDF thread: its document, and the pages being copied to JPEG, oldest first.
class PdfCompiler {
public:
    explicit PdfCompiler(std::shared_ptr<PdfJob> job) : job_(std::move(job)) {}
    ~PdfCompiler();
    PdfCompiler(const PdfCompiler&) = delete;
    PdfCompiler& operator=(const PdfCompiler&) = delete;

    // Until the PDF is saved, the slot is stopped or the PDF fails (PdfFailure).
    void Run();

private:
    struct Conversion {
        std::string Page;
        NameClaim Jpeg;
        RURARO_SECTION Section;
        KernelHandle Process;
        DWORD Started;
    };
    enum class Take { Taken, Full, NameInUse };

    void CreateDocument();
    Take TakePage();
    // Adds the pages whose copies are done, in order; fails a copy that took too long.
    void CompleteConversions();
    void AddPage(const Conversion& conversion);
    void Save();
    void WaitForChange(DWORD limit) const;

    std::shared_ptr<PdfJob> job_;
    RURARO_DOCUMENT document_ = nullptr;
    std::deque<Conversion> inFlight_;
    int pagesAdded_ = 0;
};

// Stopped or failed with pages still being copied: their copies are of no use any more.
PdfCompiler::~PdfCompiler()
{
    for (Conversion& conversion : inFlight_) {
        TerminateProcess(conversion.Process.Get(), 1);
        WaitForSingleObject(conversion.Process.Get(), 5000);
        DeleteFileA(conversion.Jpeg.Name().c_str());
    }
    RURARO_Free(document_);
}

void PdfCompiler::Run()
{
    while (!job_->Stopping()) {
        DWORD wait = job_->Timing.LongestWait;
        switch (job_->State) {
        case SlotStarted: CreateDocument(); break;
        case SlotPageHandedOver:
            if (TakePage() == Take::NameInUse)
                wait = 50;  // another slot makes a copy under the same name
            break;
        case SlotFinish:
            if (inFlight_.empty()) {
                Save();
                return;
            }
            break;
        default: break;
        }
        CompleteConversions();
        WaitForChange(wait);
    }
}

void PdfCompiler::CreateDocument()
{
    document_ = RURARO_Create("", "");
    if (!document_)
        throw PdfFailure("the PDF writer could not create a document");
    job_->Hand(SlotStarted, SlotWaitingForPage);
    job_->Changed();
}

PdfCompiler::Take PdfCompiler::TakePage()
{
    if (inFlight_.size() >= job_->Timing.PagesInFlight)
        return Take::Full;
    std::string page = job_->PagePath, jpeg = JpegCopyPath(page);
    if (!TheJpegNames().TryClaim(jpeg))
        return Take::NameInUse;
    NameClaim claim(jpeg);
    // Whatever lies under the name is another page's copy, or one left from an earlier run.
    if (!DeleteFileA(jpeg.c_str()) && GetLastError() != ERROR_FILE_NOT_FOUND && GetLastError() != ERROR_PATH_NOT_FOUND)
        throw PdfFailure("an old JPEG copy cannot be removed: " + jpeg);
    RURARO_SECTION section = RURARO_AddSection(document_, job_->PageTitle.c_str());
    if (!section)
        throw PdfFailure("the PDF writer took no section for " + page);
    KernelHandle process = StartFendrix(job_->FendrixPath, page);
    if (!process.Get())
        throw PdfFailure("Fendrix.exe could not be started for " + page);
    inFlight_.push_back({page, std::move(claim), section, std::move(process), GetTickCount()});
    job_->Hand(SlotPageHandedOver, SlotWaitingForPage);
    job_->Changed();
    return Take::Taken;
}

void PdfCompiler::CompleteConversions()
{
    while (!inFlight_.empty()) {
        const Conversion& oldest = inFlight_.front();
        if (WaitForSingleObject(oldest.Process.Get(), 0) != WAIT_OBJECT_0) {
            if (GetTickCount() - oldest.Started >= job_->Timing.FendrixLimit)
                throw PdfFailure("Fendrix.exe did not copy " + oldest.Page + " to JPEG within " +
                                 std::to_string(job_->Timing.FendrixLimit / 1000) + " s");
            return;
        }
        AddPage(oldest);
        DeleteFileA(oldest.Jpeg.Name().c_str());  // the writer has read it
        inFlight_.pop_front();
    }
}

void PdfCompiler::AddPage(const Conversion& conversion)
{
    const std::string& jpeg = conversion.Jpeg.Name();
    if (!IsCompleteJpeg(jpeg))
        throw PdfFailure("Fendrix.exe wrote no complete JPEG copy of " + conversion.Page);
    if (!RURARO_AddImageFilePage(conversion.Section, RURARO_IMAGE_JPEG, jpeg.c_str()))
        throw PdfFailure("the PDF writer did not take the JPEG copy of " + conversion.Page);
    ++pagesAdded_;
}

void PdfCompiler::Save()
{
    if (pagesAdded_ == 0)
        throw PdfFailure("no pages to compile");
    if (!RURARO_SaveToFileName(document_, job_->PdfPath.c_str()))
        throw PdfFailure("the PDF writer could not save " + job_->PdfPath);
    if (!IsCompletePdf(job_->PdfPath))
        throw PdfFailure("the saved PDF is missing or incomplete: " + job_->PdfPath);
    job_->Hand(SlotFinish, SlotDone);
    job_->Changed();
}

// Until the main thread moves the slot, the slot is stopped, the oldest copy is done, or `limit` passed.
void PdfCompiler::WaitForChange(DWORD limit) const
{
    HANDLE handles[3] = {job_->Wake.Get(), job_->StopEvent.Get()};
    DWORD count = 2;
    if (!inFlight_.empty()) {
        const Conversion& oldest = inFlight_.front();
        handles[count++] = oldest.Process.Get();
        DWORD elapsed = GetTickCount() - oldest.Started;
        DWORD left = elapsed < job_->Timing.FendrixLimit ? job_->Timing.FendrixLimit - elapsed : 0;
        limit = std::min(limit, left);
    }
    WaitForMultipleObjects(count, handles, FALSE, limit);
}

DWORD WINAPI PdfThreadProc(LPVOID parameter)
{
    std::unique_ptr<std::shared_ptr<PdfJob>> start(static_cast<std::shared_ptr<PdfJob>*>(parameter));
    std::shared_ptr<PdfJob> job = *start;
    try {
        ComApartment com;
        PdfCompiler compiler(job);
        compiler.Run();
    } catch (const PdfFailure& failure) {
        job->Fail(failure.what());
    } catch (...) {
        job->Fail("an unexpected error in the PDF thread");
    }
    return 0;
}

}  // namespace

PdfRoad::PdfRoad(std::function<void(int)> slotChanged, PdfTiming timing)
    : slotChanged_(std::move(slotChanged)), timing_(timing)
{
    for (int i = 0; i < SlotCount; ++i)
        slots_[i].Index = i;
}

PdfRoad::~PdfRoad()
{
    for (int i = 0; i < SlotCount; ++i)
        Stop(i);
}

int PdfRoad::Start(int currentSlot, const std::string& pdfPath)
{
    if (currentSlot >= 0 && currentSlot < SlotCount)
        Stop(currentSlot);
    for (PdfJobSlot& slot : slots_) {
        if (slot.Job)
            continue;
        auto job = std::make_shared<PdfJob>(slot.Index, pdfPath, FendrixPath, slotChanged_, timing_);
        auto* start = new std::shared_ptr<PdfJob>(job);
        HANDLE thread = CreateThread(nullptr, 0, PdfThreadProc, start, 0, nullptr);
        if (!thread) {
            delete start;
            return -1;
        }
        slot.Job = std::move(job);
        slot.Thread = thread;
        slot.PagesHandedOver = 0;
        return slot.Index;
    }
    return -1;
}

void PdfRoad::Stop(int slot)
{
    if (slot < 0 || slot >= SlotCount || !slots_[slot].Job)
        return;
    PdfJobSlot& stopped = slots_[slot];
    stopped.Job->RequestStop();
    // A thread inside the PDF writer finishes its call first; one that does not end in time is left to
    // end on its own, with its own job.
    WaitForSingleObject(stopped.Thread, timing_.StopLimit);
    CloseHandle(stopped.Thread);
    stopped.Job.reset();
    stopped.Thread = nullptr;
    stopped.PagesHandedOver = 0;
}

void PdfRoad::RequestStopAll()
{
    for (PdfJobSlot& slot : slots_)
        if (slot.Job)
            slot.Job->RequestStop();
}

bool PdfRoad::ThreadsRunning() const
{
    for (const PdfJobSlot& slot : slots_)
        if (slot.Thread && WaitForSingleObject(slot.Thread, 0) == WAIT_TIMEOUT)
            return true;
    return false;
}

PdfFeed PdfRoad::Feed(const std::vector<PdfTransaction>& transactions)
{
    PdfFeed feed;
    for (size_t t = 0; t < transactions.size(); ++t) {
        const PdfTransaction& transaction = transactions[t];
        if (transaction.PdfDone || State(transaction.Slot) == SlotFree)
            continue;
        PdfJobSlot& slot = slots_[transaction.Slot];
        PdfJob& job = *slot.Job;
        int state = job.State;
        if (state == SlotDone || state == SlotFailed) {
            feed.Outcomes.push_back({t, slot.Index, state == SlotDone, job.PdfPath, job.Failure});
            Stop(slot.Index);
            continue;
        }
        bool allHandedOver = size_t(slot.PagesHandedOver) >= transaction.PagePaths.size();
        if (allHandedOver && transaction.Closed)
            feed.Compiling = true;
        if (state != SlotWaitingForPage)
            continue;
        if (!allHandedOver) {
            int number = slot.PagesHandedOver + 1;
            job.PagePath = transaction.PagePaths[number - 1];
            job.PageTitle = "Page " + std::to_string(number);
            if (job.Hand(SlotWaitingForPage, SlotPageHandedOver)) {
                slot.PagesHandedOver = number;
                feed.PageHandedOver = true;
                return feed;
            }
        } else if (transaction.Closed && job.Hand(SlotWaitingForPage, SlotFinish)) {
            ++feed.FinishesStarted;
        }
    }
    return feed;
}

bool PdfRoad::Running() const
{
    for (const PdfJobSlot& slot : slots_) {
        if (slot.Job)
            return true;
    }
    return false;
}

int PdfRoad::State(int slot) const
{
    if (slot < 0 || slot >= SlotCount || !slots_[slot].Job)
        return SlotFree;
    return slots_[slot].Job->State;
}

int FindPdfChild(const std::vector<std::string>& childTexts)
{
    for (size_t i = childTexts.size(); i-- > 0;) {
        const std::string& text = childTexts[i];
        if (text.size() >= 4 && Upper(text.substr(text.size() - 4)) == ".PDF")
            return int(i);
    }
    return -1;
}

}  // namespace pagorin
