// Bytes in as the journal of switches, read from a file as the program does:
// nothing may crash, every batch has one outcome per move, and a journal that
// the reader cleaned or settled reads back the same and without complaint.

#include "fuzz/FuzzCheck.h"
#include "library/history/SwitchJournal.h"

#include <cstdint>
#include <fstream>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const fs::path file = fuzzScratchFolder() / "journal";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char *>(data), static_cast<std::streamsize>(size));
    }
    SwitchJournal journal(file);
    journal.open();
    journal.takeProblem();
    for (const JournalBatch &batch : journal.batches()) {
        fuzzCheck(batch.made.size() == batch.moves().size(), "one outcome per move");
        fuzzCheck(batch.settled, "every batch settled after opening");
    }
    fuzzCheck(journal.batches().size() <= SwitchJournal::kKeptBatches, "trimmed");
    if (journal.nextUndo())
        fuzzCheck(journal.nextUndo()->madeCount() > 0, "an undo has something to reverse");
    journal.origin(journal.batches().empty() ? JournalBatch{} : journal.batches().back());
    if (!journal.keeping())
        return 0;

    SwitchJournal again(file);
    again.open();
    fuzzCheck(again.takeProblem() == JournalProblem::None, "a cleaned journal reads without complaint");
    fuzzCheck(again.batches().size() == journal.batches().size(), "the same batches read back");
    for (std::size_t i = 0; i < again.batches().size(); ++i) {
        const JournalBatch &before = journal.batches()[i];
        const JournalBatch &after = again.batches()[i];
        fuzzCheck(before.id == after.id && before.action == after.action &&
                      before.name == after.name && before.moves().size() == after.moves().size() &&
                      before.made == after.made && before.interrupted == after.interrupted,
                  "a batch reads back unchanged");
        for (std::size_t m = 0; m < before.moves().size(); ++m)
            fuzzCheck(before.moves()[m].from == after.moves()[m].from &&
                          before.moves()[m].to == after.moves()[m].to,
                      "a move reads back unchanged");
    }
    return 0;
}
