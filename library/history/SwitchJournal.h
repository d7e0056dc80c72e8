#pragma once

#include "library/switching/EntryMoveBatch.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

// What the user did that moved entry files.
enum class JournalAction
{
    Install,    // a row's Install; the name is the mod's
    Uninstall,  // a row's Uninstall
    EnableAll,
    DisableAll,
    ApplySet,   // the name is the set's
    Undo,       // the target is the batch undone
    Redo,       // the target is the undo redone
    Restore,    // the target is the batch whose earlier state was restored
};

// One batch of entry-file moves as the journal holds it.
struct JournalBatch
{
    std::uint64_t id = 0;
    std::int64_t time = 0; // seconds since 1970, UTC
    JournalAction action = JournalAction::Install;
    std::string name; // UTF-8
    std::uint64_t target = 0;
    std::vector<bool> made; // one per move
    // The program ended before it wrote the outcome; `made` was then read off
    // the disk (the entry file at the move's destination) when the journal was opened.
    bool interrupted = false;
    // An outcome is known (written, or settled from the disk).
    bool settled = false;

    std::size_t madeCount() const;
    // The moves. A batch read from the file decodes them at first use, so
    // that opening a long journal reads little more than its headings; they
    // are empty when their part of the line turns out to be damaged.
    const std::vector<EntryMove> &moves() const;

    // The intent line as written, without its line end; the moves' array
    // starts at `movesAt` while not decoded.
    std::string line;
    std::size_t movesAt = 0;
    std::string root; // UTF-8, what the moves' paths are relative to
    mutable std::vector<EntryMove> decodedMoves;
    mutable bool decoded = true;
};

// Why the journal cannot be read or kept.
enum class JournalProblem
{
    None,
    DamagedLines, // lines that could not be read were left out (a kill while writing)
    NotOurs,      // the file is not this program's journal, or a newer version's
    CannotRead,
    CannotWrite, // history is not kept: switching goes on without it
};

// The record of every batch of switches, in `data/journal`: one JSON line per
// batch intent, written and flushed before the moves, and one per outcome
// after them. Only appended to, except when it is trimmed to the newest
// kKeptBatches batches or cleaned of damaged lines, both by a whole-file
// replacement that never truncates. Batches stay in memory when the file
// cannot be written, so undo still works for the rest of the run.
class SwitchJournal
{
public:
    static constexpr std::size_t kKeptBatches = 1000;
    // Trimming waits for this many more, so that a full journal is not
    // rewritten at every batch.
    static constexpr std::size_t kTrimSlack = 100;
    static constexpr int kFormatVersion = 1;

    explicit SwitchJournal(std::filesystem::path file);

    // `data/journal` beside the settings file, resolved against the working directory.
    static std::filesystem::path defaultFile();

    // Reads the file (a missing one is an empty journal). Interrupted batches
    // are settled from the disk and their outcome is written.
    void open();

    const std::filesystem::path &file() const;
    const std::vector<JournalBatch> &batches() const;
    const JournalBatch *find(std::uint64_t id) const;

    // The newest problem, with the system's reason when there is one; taking
    // it clears it, so that each is reported once.
    JournalProblem takeProblem(std::error_code *reason = nullptr, std::size_t *damaged = nullptr);
    // False while the journal cannot be written.
    bool keeping() const;

    // Records the intent of a batch before its moves are made; returns its id.
    std::uint64_t begin(JournalAction action, const std::string &name, std::uint64_t target,
                        std::vector<EntryMove> moves);
    // Records which of the batch's moves were made.
    void finish(std::uint64_t id, std::vector<bool> made);

    // The batch that an undo would reverse, and the undo that a redo would
    // reverse; null when there is none.
    const JournalBatch *nextUndo() const;
    const JournalBatch *nextRedo() const;
    // The batch of the user's own action behind an undo or a redo (followed
    // back through the chain); the batch itself for any other.
    const JournalBatch &origin(const JournalBatch &batch) const;

private:
    void replay(const JournalBatch &batch);
    void append(const std::string &lines);
    void rewrite();
    void trimIfLong();
    void setProblem(JournalProblem problem, std::error_code reason, std::size_t damaged = 0);

    std::filesystem::path m_file;
    std::vector<JournalBatch> m_batches;
    std::vector<std::uint64_t> m_undo;
    std::vector<std::uint64_t> m_redo;
    std::uint64_t m_nextId = 1;
    bool m_keeping = true;
    bool m_hasHeader = false;
    JournalProblem m_problem = JournalProblem::None;
    std::error_code m_reason;
    std::size_t m_damaged = 0;
};

// The process's journal: `data/journal` beside the settings file, opened at
// first use and opened again when the working directory has changed.
SwitchJournal &sharedJournal();

// One journal line, parsed into `batches` (an intent adds a batch, an outcome
// completes the one it names). False for a line that is not valid; used by
// open and by the fuzz target.
bool readJournalLine(std::string_view line, std::vector<JournalBatch> &batches);
