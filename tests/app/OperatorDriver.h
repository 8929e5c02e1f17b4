// The operator test's driver: a seeded model of an operator at Pagorin.exe on the device lab. A sequence
// starts Pagorin on a road (interactive, or a hot-key start with a page), with settings, discs and device
// faults drawn from the seed, then draws operator actions at random speed (the tool bar, the menus, the
// tree and its buttons, the dialogs, answers to the alerts, hand-overs, refilling the input bin). After the
// last action it waits for quiet (bounded) and checks from real state that Pagorin came back: the window's
// controls, the lab's robot and writer, the process's exit code, the queue folder, the discs read back byte
// for byte and the day log.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "LabReadBack.h"
#include "PagorinRunFixture.h"

namespace pagorintest {

// What a sequence starts from, drawn from its seed (or set by a regression case).
struct OperatorPlan {
    bool hotKey = false;          // started with a page on the command line, else by the operator
    std::string firstPage = "good";  // hot-key road: "good", "missing", "jpeg" or "gif"
    bool restoredQueue = false;   // interactive road: a transaction of an earlier run waits in the queue
    bool writePerTransaction = false;  // interactive road: the operator ticks the box before the first scan
    int compiledPdf = 0, copies = 1, discType = 0;
    bool deleteHotkeyFiles = false;
    int sheets = 2;               // pages the scanner gives a scan
    std::string discs = "20*4";   // the input bin
    std::vector<std::string> failures, delays, scanner;  // scenario lines of [Failures], [Delays], [Scanner]
    int actions = 6;
};

// The operator's actions.
enum class OperatorAction {
    Pause, Start, Load, Save, Settings, Scanner, Language, TestTray, Exit, Write, Append, Abort, Tick, Copies,
    PerTransaction, DiscLabel, HandOver, Answer, Refill
};

class OperatorDriver : public PagorinDiscRoad {
protected:
    void TearDown() override;

    // A plan drawn from the seed for the road.
    static OperatorPlan DrawPlan(Draw& draw, bool hotKey);
    // One whole sequence, its road drawn from the seed too: the start, `plan.actions` drawn actions, quiet
    // and every check.
    void RunSequence(DWORD seed);
    void RunSequence(Draw& draw, const OperatorPlan& plan);

    // The parts a regression case puts together itself.
    void Begin(const OperatorPlan& plan);
    void Act(OperatorAction action, DWORD choice);
    // Waits for quiet, answering what asks the operator, then checks that every run came back and ends
    // the interactive one by Write and Exit; last the pages, discs and exit codes.
    void FinishAndCheck();
    void WaitUntilBack();
    void WriteEverythingAndExit();
    void CheckDiscs();
    void CheckPages();
    // After CheckDiscs: whether a page (its bytes) is on a disc of the output bin, or in its transaction's PDF there.
    bool ReachedADisc(const std::string& page) const;

    // Answers to what asks the operator: the alert of each kind and the message boxes.
    enum class Answer { Finish, Hold, RefillAndOk, Ok, Cancel, Terminate };
    // The alert on screen ("countdown", "robot", "bin", "close"), or "" when none.
    std::string AlertKind();
    void AnswerAlert(Answer answer);
    void AnswerMessageBoxes();
    // Waits (at most `limitMs`) until no process of the sequence works or asks and `settled` holds: nothing
    // new in the day log or the lab's trace for a while, no alert, no message box, no hand-over or hot-key
    // run still under way. The alerts are answered so that the runs go on (the countdown finished, the
    // input bin refilled).
    bool WaitForQuiet(DWORD limitMs, const std::function<bool()>& settled = [] { return true; });
    // Why the interactive run does not take the operator's input again ("" when it does).
    std::string WhyNotUsable();
    std::string TreeText();
    bool RobotLeftADisc() const;

    // The actions' parts.
    void Off(const std::string& what);
    bool Command(const std::string& name, const wchar_t* tool, int menu, int item, DWORD choice);
    void UseSettingsDialog(bool language, DWORD choice);
    void UseScannerChooser(DWORD choice);
    void PressTreeButton(int index, DWORD choice);
    void Tick(DWORD choice);
    void ToggleNode(HWND window, const Node& node);
    void UseTargetDisc(OperatorAction action, DWORD choice);
    void AnswerAtRandom(DWORD choice);

    // Pagorin's main window, its state and its controls (found by class and place, in any language).
    HWND Main() const;
    bool OperatorMayUse() const;
    HWND BitButton(int index);  // 0 Write, 1 Append, 2 Abort
    std::optional<Node> SelectedNode(HWND window);
    bool Usable(HWND button) const { return button && IsWindowVisible(button) && IsWindowEnabled(button); }
    HWND DialogOf(const wchar_t* formClass) const;

    // The lab.
    void Refill(int discs);
    void ClearFailures();
    std::string Trace() const;
    int WriterDisc() const;

    void HandOver(const std::string& kind);
    void NoteQueue();
    void Say(const std::string& what);

    std::wstring MakePage(const std::wstring& folder, const std::wstring& name);
    std::string Log() const;

    struct Folders {
        TempDir lab, work, scans;
    };
    std::unique_ptr<Folders> folders_;
    OperatorPlan plan_;
    std::wstring queue_;
    DWORD began_ = 0;
    int pageNumber_ = 0;
    bool exitChosen_ = false;  // the operator chose Exit or the title bar's close
    std::vector<ChildProcess> handOvers_;
    std::vector<std::wstring> handOverPages_;  // beside each hand-over: its page (empty for a refused one)
    std::wstring firstPage_;                   // the hot-key road's good command-line page
    std::map<std::wstring, std::string> offered_;  // every good page handed over: path to its bytes
    std::map<std::string, std::wstring> queued_;   // every page seen in the queue: bytes to its transaction
    std::set<std::wstring> aborted_;               // transactions the operator aborted
    std::set<std::string> unticked_;               // pages the operator unticked (their bytes)
    std::set<std::wstring> labels_;                // disc labels the operator set
    std::set<std::string> onDiscs_;                // every file's bytes on the output bin's discs
    std::set<std::wstring> pdfFolders_;            // transactions whose PDF is on one of them
    size_t discsWritten_ = 0;
};

}  // namespace pagorintest
