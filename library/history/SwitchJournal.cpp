#include "library/history/SwitchJournal.h"

#include "library/catalogue/Constants.h"
#include "library/platform/FileAppend.h"
#include "library/platform/FileBytes.h"
#include "library/platform/FileReplace.h"
#include "library/platform/PathText.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <array>
#include <ctime>
#include <deque>
#include <memory>
#include <string_view>
#include <utility>

namespace fs = std::filesystem;

namespace {

constexpr char kJournalMark[] = "tessel3 switches";

constexpr std::array<std::pair<JournalAction, const char *>, 8> kActionNames{{
    {JournalAction::Install, "install"},
    {JournalAction::Uninstall, "uninstall"},
    {JournalAction::EnableAll, "enable-all"},
    {JournalAction::DisableAll, "disable-all"},
    {JournalAction::ApplySet, "apply-set"},
    {JournalAction::Undo, "undo"},
    {JournalAction::Redo, "redo"},
    {JournalAction::Restore, "restore"},
}};

const char *actionName(JournalAction action)
{
    for (const auto &[value, name] : kActionNames)
        if (value == action)
            return name;
    return "install";
}

bool actionFromName(const std::string &name, JournalAction &action)
{
    for (const auto &[value, text] : kActionNames)
        if (name == text) {
            action = value;
            return true;
        }
    return false;
}

bool isValidUtf8(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size()) {
        const auto byte = static_cast<unsigned char>(text[i]);
        std::size_t length = 0;
        std::uint32_t point = 0;
        if (byte < 0x80) {
            ++i;
            continue;
        } else if ((byte & 0xe0) == 0xc0) {
            length = 2;
            point = byte & 0x1f;
        } else if ((byte & 0xf0) == 0xe0) {
            length = 3;
            point = byte & 0x0f;
        } else if ((byte & 0xf8) == 0xf0) {
            length = 4;
            point = byte & 0x07;
        } else {
            return false;
        }
        if (i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            const auto next = static_cast<unsigned char>(text[i + k]);
            if ((next & 0xc0) != 0x80)
                return false;
            point = (point << 6) | (next & 0x3f);
        }
        if ((length == 2 && point < 0x80) || (length == 3 && point < 0x800) ||
            (length == 4 && (point < 0x10000 || point > 0x10ffff)) ||
            (point >= 0xd800 && point <= 0xdfff))
            return false;
        i += length;
    }
    return true;
}

// Text that is not UTF-8 (a Linux file name may be any bytes) is kept as
// hexadecimal bytes, so that nothing is lost and the line stays valid JSON.
void appendText(std::string &out, std::string_view text)
{
    static const char digits[] = "0123456789abcdef";
    if (!isValidUtf8(text)) {
        out += "{\"bytes\":\"";
        for (const char c : text) {
            out += digits[(static_cast<unsigned char>(c) >> 4) & 0xf];
            out += digits[static_cast<unsigned char>(c) & 0xf];
        }
        out += "\"}";
        return;
    }
    out += '"';
    // Runs that need no escape are copied whole.
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (byte >= 0x20 && byte != '"' && byte != '\\')
            continue;
        out.append(text.data() + run, i - run);
        run = i + 1;
        if (byte >= 0x20) {
            out += '\\';
            out += static_cast<char>(byte);
        } else {
            out += "\\u00";
            out += digits[byte >> 4];
            out += digits[byte & 0xf];
        }
    }
    out.append(text.data() + run, text.size() - run);
    out += '"';
}

bool textFrom(const nlohmann::json &value, std::string &text)
{
    if (value.is_string()) {
        text = value.get_ref<const std::string &>();
        return true;
    }
    if (!value.is_object() || !value.contains("bytes") || !value["bytes"].is_string())
        return false;
    const std::string &hex = value["bytes"].get_ref<const std::string &>();
    if (hex.size() % 2 != 0)
        return false;
    text.clear();
    const auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9')
            return c - '0';
        if (c >= 'a' && c <= 'f')
            return c - 'a' + 10;
        return -1;
    };
    for (std::size_t i = 0; i < hex.size(); i += 2) {
        const int high = nibble(hex[i]);
        const int low = nibble(hex[i + 1]);
        if (high < 0 || low < 0)
            return false;
        text += static_cast<char>(high * 16 + low);
    }
    return true;
}

// The moves are written relative to the folder they share, which keeps the
// line short: a batch over one mods folder repeats only the mod's part.
std::string sharedFolder(const std::vector<std::string_view> &paths)
{
    if (paths.empty())
        return {};
    std::string_view common = paths.front();
    for (const std::string_view path : paths) {
        std::size_t length = 0;
        const std::size_t most = std::min(common.size(), path.size());
        while (length < most && common[length] == path[length])
            ++length;
        common = common.substr(0, length);
    }
    const std::size_t separator = common.find_last_of("/\\");
    if (separator == std::string_view::npos)
        return {};
    return std::string(common.substr(0, separator + 1));
}

// A path's UTF-8 text. Narrow paths (Linux) are that text already and are
// not copied; wide ones are converted into `converted`, which keeps them.
[[maybe_unused]] std::string_view utf8View(const std::string &native, const fs::path &,
                                           std::deque<std::string> &)
{
    return native;
}

[[maybe_unused]] std::string_view utf8View(const std::wstring &, const fs::path &path,
                                           std::deque<std::string> &converted)
{
    converted.push_back(utf8FromPath(path));
    return converted.back();
}

std::string headerLine()
{
    return std::string("{\"journal\":\"") + kJournalMark + "\",\"version\":" +
           std::to_string(SwitchJournal::kFormatVersion) + "}\n";
}

std::string intentLine(const JournalBatch &batch)
{
    std::deque<std::string> converted;
    std::vector<std::string_view> paths;
    paths.reserve(batch.moves().size() * 2);
    for (const EntryMove &move : batch.moves()) {
        paths.push_back(utf8View(move.from.native(), move.from, converted));
        paths.push_back(utf8View(move.to.native(), move.to, converted));
    }
    const std::string root = sharedFolder(paths);
    std::string line = "{\"batch\":" + std::to_string(batch.id) +
                       ",\"time\":" + std::to_string(batch.time) + ",\"action\":\"" +
                       actionName(batch.action) + "\",\"name\":";
    appendText(line, batch.name);
    line += ",\"target\":" + std::to_string(batch.target) +
            ",\"count\":" + std::to_string(batch.moves().size()) + ",\"root\":";
    appendText(line, root);
    line += ",\"moves\":[";
    std::size_t length = line.size() + 4;
    for (const std::string_view path : paths)
        length += path.size() - root.size() + 4;
    line.reserve(length);
    for (std::size_t i = 0; i < paths.size(); i += 2) {
        line += i == 0 ? "[" : ",[";
        appendText(line, paths[i].substr(root.size()));
        line += ',';
        appendText(line, paths[i + 1].substr(root.size()));
        line += ']';
    }
    line += "]}\n";
    return line;
}

std::string outcomeLine(const JournalBatch &batch)
{
    std::string line = "{\"outcome\":" + std::to_string(batch.id) + ",\"refused\":[";
    bool first = true;
    for (std::size_t i = 0; i < batch.made.size(); ++i) {
        if (batch.made[i])
            continue;
        if (!first)
            line += ',';
        line += std::to_string(i);
        first = false;
    }
    line += "]";
    if (batch.interrupted)
        line += ",\"interrupted\":true";
    line += "}\n";
    return line;
}

// Checks the moves' array without building it: an array of [from, to] pairs,
// each a string or {"bytes": hexadecimal}. Counts the pairs.
class MovesCheck
{
public:
    using json = nlohmann::json;

    std::size_t count = 0;

    bool null() { return false; }
    bool boolean(bool) { return false; }
    bool number_integer(json::number_integer_t) { return false; }
    bool number_unsigned(json::number_unsigned_t) { return false; }
    bool number_float(json::number_float_t, const std::string &) { return false; }
    bool binary(json::binary_t &) { return false; }
    bool parse_error(std::size_t, const std::string &, const nlohmann::detail::exception &)
    {
        return false;
    }

    bool start_array(std::size_t)
    {
        if (m_depth > 1 || m_inObject)
            return false;
        ++m_depth;
        m_items = 0;
        return true;
    }

    bool end_array()
    {
        if (m_depth == 2) {
            if (m_items != 2)
                return false;
            ++count;
        }
        --m_depth;
        return true;
    }

    bool string(std::string &text)
    {
        if (m_depth != 2)
            return false;
        if (!m_inObject) {
            ++m_items;
            return true;
        }
        if (!m_sawKey || m_sawValue || text.size() % 2 != 0 ||
            text.find_first_not_of("0123456789abcdef") != std::string::npos)
            return false;
        m_sawValue = true;
        return true;
    }

    bool start_object(std::size_t)
    {
        if (m_depth != 2 || m_inObject)
            return false;
        m_inObject = true;
        m_sawKey = false;
        m_sawValue = false;
        return true;
    }

    bool key(std::string &name)
    {
        if (!m_inObject || m_sawKey || name != "bytes")
            return false;
        m_sawKey = true;
        return true;
    }

    bool end_object()
    {
        if (!m_inObject || !m_sawValue)
            return false;
        m_inObject = false;
        ++m_items;
        return true;
    }

private:
    int m_depth = 0;
    int m_items = 0;
    bool m_inObject = false;
    bool m_sawKey = false;
    bool m_sawValue = false;
};

// An intent's moves come last; only the heading before them is parsed now.
// A quote inside a string is escaped, so the key's text cannot stand earlier.
constexpr std::string_view kMovesKey = ",\"moves\":[";

bool readIntent(std::string_view text, std::vector<JournalBatch> &batches)
{
    const std::size_t at = text.find(kMovesKey);
    if (at == std::string_view::npos || text.size() < 2 || text.substr(text.size() - 2) != "]}")
        return false;
    std::string heading(text.substr(0, at));
    heading += '}';
    const nlohmann::json line = nlohmann::json::parse(heading, nullptr, false);
    if (line.is_discarded() || !line.is_object())
        return false;
    JournalBatch batch;
    const auto id = line.find("batch");
    const auto time = line.find("time");
    const auto action = line.find("action");
    const auto name = line.find("name");
    const auto target = line.find("target");
    const auto count = line.find("count");
    const auto root = line.find("root");
    const auto end = line.end();
    if (id == end || !id->is_number_unsigned() || time == end || !time->is_number_integer() ||
        action == end || !action->is_string() || name == end || target == end ||
        !target->is_number_unsigned() || count == end || !count->is_number_unsigned() ||
        count->get<std::uint64_t>() > text.size() || root == end)
        return false;
    batch.id = id->get<std::uint64_t>();
    batch.time = time->get<std::int64_t>();
    batch.target = target->get<std::uint64_t>();
    if (!actionFromName(action->get_ref<const std::string &>(), batch.action) ||
        !textFrom(*name, batch.name) || !textFrom(*root, batch.root))
        return false;
    // The moves are checked now, so that a damaged line is found when the
    // journal is opened, but only turned into paths when asked for.
    MovesCheck check;
    const std::string_view array = text.substr(at + kMovesKey.size() - 1, text.size() - at - kMovesKey.size());
    if (!nlohmann::json::sax_parse(array, &check) || check.count != count->get<std::uint64_t>())
        return false;
    batch.made.assign(count->get<std::size_t>(), false);
    batch.line = std::string(text);
    batch.movesAt = at + kMovesKey.size() - 1;
    batch.decoded = false;
    batches.push_back(std::move(batch));
    return true;
}

bool readOutcome(const nlohmann::json &line, std::vector<JournalBatch> &batches)
{
    const auto id = line.find("outcome");
    const auto refused = line.find("refused");
    if (id == line.end() || !id->is_number_unsigned() || refused == line.end() ||
        !refused->is_array())
        return false;
    const std::uint64_t wanted = id->get<std::uint64_t>();
    // The outcome follows its intent closely; search from the newest.
    const auto batch = std::find_if(batches.rbegin(), batches.rend(),
                                    [wanted](const JournalBatch &b) { return b.id == wanted; });
    if (batch == batches.rend() || batch->settled)
        return false;
    std::vector<bool> made(batch->made.size(), true);
    for (const nlohmann::json &index : *refused) {
        if (!index.is_number_unsigned() || index.get<std::uint64_t>() >= made.size())
            return false;
        made[index.get<std::size_t>()] = false;
    }
    const auto interrupted = line.find("interrupted");
    batch->made = std::move(made);
    batch->settled = true;
    batch->interrupted = interrupted != line.end() && interrupted->is_boolean() &&
                         interrupted->get<bool>();
    return true;
}

bool isHeader(const nlohmann::json &line, bool &newer)
{
    const auto mark = line.find("journal");
    const auto version = line.find("version");
    if (mark == line.end() || *mark != kJournalMark || version == line.end() ||
        !version->is_number_integer())
        return false;
    newer = version->get<std::int64_t>() > SwitchJournal::kFormatVersion ||
            version->get<std::int64_t>() < 1;
    return true;
}

// Lines of the text; the last one without its line end is returned as well
// (it is what a kill during a write leaves).
std::vector<std::string_view> linesOf(std::string_view text, bool &lastUnended)
{
    std::vector<std::string_view> lines;
    lastUnended = false;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        if (end == std::string_view::npos) {
            lines.push_back(text);
            lastUnended = true;
            break;
        }
        lines.push_back(text.substr(0, end));
        text.remove_prefix(end + 1);
    }
    return lines;
}

} // namespace

std::size_t JournalBatch::madeCount() const
{
    return static_cast<std::size_t>(std::count(made.begin(), made.end(), true));
}

const std::vector<EntryMove> &JournalBatch::moves() const
{
    if (decoded)
        return decodedMoves;
    decoded = true;
    const std::string_view array =
        std::string_view(line).substr(movesAt, line.size() - movesAt - 1);
    const nlohmann::json moves = nlohmann::json::parse(array, nullptr, false);
    if (moves.is_discarded() || !moves.is_array() || moves.size() != made.size())
        return decodedMoves;
    std::vector<EntryMove> result;
    result.reserve(moves.size());
    std::string from;
    std::string to;
    for (const nlohmann::json &move : moves) {
        if (!move.is_array() || move.size() != 2 || !textFrom(move[0], from) ||
            !textFrom(move[1], to))
            return decodedMoves;
        result.push_back({pathFromUtf8(root + from), pathFromUtf8(root + to)});
    }
    decodedMoves = std::move(result);
    return decodedMoves;
}

bool readJournalLine(std::string_view line, std::vector<JournalBatch> &batches)
{
    if (line.substr(0, 9) == "{\"batch\":")
        return readIntent(line, batches);
    const nlohmann::json value = nlohmann::json::parse(line, nullptr, false);
    if (value.is_discarded() || !value.is_object())
        return false;
    if (value.contains("outcome"))
        return readOutcome(value, batches);
    return false;
}

SwitchJournal &sharedJournal()
{
    static std::unique_ptr<SwitchJournal> journal;
    std::error_code error;
    const fs::path file = fs::absolute(SwitchJournal::defaultFile(), error);
    if (!journal || journal->file() != file) {
        journal = std::make_unique<SwitchJournal>(file);
        journal->open();
    }
    return *journal;
}

SwitchJournal::SwitchJournal(fs::path file) : m_file(std::move(file)) {}

fs::path SwitchJournal::defaultFile()
{
    return fs::path(kSettingsFilePath).parent_path() / "journal";
}

void SwitchJournal::open()
{
    m_batches.clear();
    m_undo.clear();
    m_redo.clear();
    m_nextId = 1;
    m_keeping = true;
    m_hasHeader = false;

    FileBytes bytes;
    std::error_code failure;
    if (!bytes.read(m_file, false, &failure)) {
        if (failure == std::errc::no_such_file_or_directory)
            return;
        m_keeping = false;
        setProblem(JournalProblem::CannotRead, failure);
        return;
    }
    bool lastUnended = false;
    const std::vector<std::string_view> lines = linesOf(bytes.view(), lastUnended);
    if (lines.empty())
        return;

    bool newer = false;
    const nlohmann::json first = nlohmann::json::parse(lines.front(), nullptr, false);
    const bool header = !first.is_discarded() && first.is_object() && isHeader(first, newer);
    if (!header && !(lines.size() == 1 && lastUnended)) {
        m_keeping = false;
        setProblem(JournalProblem::NotOurs, {});
        return;
    }
    if (newer) {
        m_keeping = false;
        setProblem(JournalProblem::NotOurs, {});
        return;
    }
    m_hasHeader = header;

    // A header without its line end would run into the next line written.
    std::size_t damaged = header && !(lines.size() == 1 && lastUnended) ? 0 : 1;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const bool unended = lastUnended && i + 1 == lines.size();
        if (unended || !readJournalLine(lines[i], m_batches))
            ++damaged;
    }
    for (const JournalBatch &batch : m_batches)
        m_nextId = std::max(m_nextId, batch.id + 1);

    // What the moves of a batch that never got its outcome did, the disk says:
    // each entry file is at one end of its move or the other.
    std::vector<std::uint64_t> settledNow;
    for (JournalBatch &batch : m_batches) {
        if (batch.settled)
            continue;
        const std::vector<EntryMove> &moves = batch.moves();
        batch.made.assign(batch.made.size(), false);
        for (std::size_t i = 0; i < moves.size(); ++i) {
            std::error_code error;
            batch.made[i] = fs::exists(moves[i].to, error) && !fs::exists(moves[i].from, error);
        }
        batch.settled = true;
        batch.interrupted = true;
        settledNow.push_back(batch.id);
    }
    for (const JournalBatch &batch : m_batches)
        replay(batch);

    if (damaged > 0) {
        setProblem(JournalProblem::DamagedLines, {}, damaged);
        rewrite();
        return;
    }
    if (m_batches.size() > kKeptBatches) {
        rewrite();
        return;
    }
    std::string outcomes;
    for (const std::uint64_t id : settledNow)
        outcomes += outcomeLine(*find(id));
    if (!outcomes.empty())
        append(outcomes);
}

const fs::path &SwitchJournal::file() const
{
    return m_file;
}

const std::vector<JournalBatch> &SwitchJournal::batches() const
{
    return m_batches;
}

const JournalBatch *SwitchJournal::find(std::uint64_t id) const
{
    const auto found = std::find_if(m_batches.rbegin(), m_batches.rend(),
                                    [id](const JournalBatch &batch) { return batch.id == id; });
    return found == m_batches.rend() ? nullptr : &*found;
}

JournalProblem SwitchJournal::takeProblem(std::error_code *reason, std::size_t *damaged)
{
    const JournalProblem problem = m_problem;
    if (reason)
        *reason = m_reason;
    if (damaged)
        *damaged = m_damaged;
    m_problem = JournalProblem::None;
    m_reason.clear();
    m_damaged = 0;
    return problem;
}

bool SwitchJournal::keeping() const
{
    return m_keeping;
}

std::uint64_t SwitchJournal::begin(JournalAction action, const std::string &name,
                                   std::uint64_t target, std::vector<EntryMove> moves)
{
    JournalBatch batch;
    batch.id = m_nextId++;
    batch.time = static_cast<std::int64_t>(std::time(nullptr));
    batch.action = action;
    batch.name = name;
    batch.target = target;
    // Kept whole, so that the journal means the same whatever folder the
    // program is started from next time.
    std::error_code error;
    const fs::path here = fs::current_path(error);
    for (EntryMove &move : moves) {
        if (move.from.is_relative())
            move.from = here / move.from;
        if (move.to.is_relative())
            move.to = here / move.to;
    }
    batch.made.assign(moves.size(), false);
    batch.decodedMoves = std::move(moves);
    batch.line = intentLine(batch);
    batch.line.pop_back(); // its line end
    m_batches.push_back(std::move(batch));
    append(m_batches.back().line + '\n');
    return m_batches.back().id;
}

void SwitchJournal::finish(std::uint64_t id, std::vector<bool> made)
{
    auto found = std::find_if(m_batches.rbegin(), m_batches.rend(),
                              [id](const JournalBatch &batch) { return batch.id == id; });
    if (found == m_batches.rend() || found->settled)
        return;
    made.resize(found->made.size(), false);
    found->made = std::move(made);
    found->settled = true;
    replay(*found);
    append(outcomeLine(*found));
    trimIfLong();
}

const JournalBatch *SwitchJournal::nextUndo() const
{
    return m_undo.empty() ? nullptr : find(m_undo.back());
}

const JournalBatch *SwitchJournal::nextRedo() const
{
    return m_redo.empty() ? nullptr : find(m_redo.back());
}

const JournalBatch &SwitchJournal::origin(const JournalBatch &batch) const
{
    const JournalBatch *current = &batch;
    // Each step goes to an older batch, so the walk ends.
    while (current->action == JournalAction::Undo || current->action == JournalAction::Redo) {
        const JournalBatch *older = current->target < current->id ? find(current->target) : nullptr;
        if (!older)
            break;
        current = older;
    }
    return *current;
}

// Undo takes its batch off the undo stack onto the redo stack, redo the other
// way; any other batch that moved something starts a new line of history.
void SwitchJournal::replay(const JournalBatch &batch)
{
    if (!batch.settled || batch.madeCount() == 0)
        return;
    const auto erase = [](std::vector<std::uint64_t> &stack, std::uint64_t id) {
        const auto found = std::find(stack.rbegin(), stack.rend(), id);
        if (found != stack.rend())
            stack.erase(std::next(found).base());
    };
    switch (batch.action) {
    case JournalAction::Undo:
        erase(m_undo, batch.target);
        m_redo.push_back(batch.id);
        return;
    case JournalAction::Redo:
        erase(m_redo, batch.target);
        m_undo.push_back(batch.id);
        return;
    default:
        m_undo.push_back(batch.id);
        m_redo.clear();
        return;
    }
}

void SwitchJournal::append(const std::string &lines)
{
    if (!m_keeping)
        return;
    std::error_code failure;
    const bool ok = m_hasHeader ? appendToFile(m_file, lines, false, failure)
                                : appendToFile(m_file, headerLine() + lines, true, failure);
    if (!ok) {
        m_keeping = false;
        setProblem(JournalProblem::CannotWrite, failure);
        return;
    }
    m_hasHeader = true;
}

void SwitchJournal::rewrite()
{
    if (!m_keeping)
        return;
    const std::size_t first =
        m_batches.size() > kKeptBatches ? m_batches.size() - kKeptBatches : 0;
    if (first > 0) {
        m_batches.erase(m_batches.begin(), m_batches.begin() + std::ptrdiff_t(first));
        m_undo.clear();
        m_redo.clear();
        for (const JournalBatch &batch : m_batches)
            replay(batch);
    }
    std::string text = headerLine();
    for (const JournalBatch &batch : m_batches) {
        text += batch.line;
        text += '\n';
        if (batch.settled)
            text += outcomeLine(batch);
    }
    std::error_code failure;
    if (!replaceFileContents(m_file, text, &failure)) {
        m_keeping = false;
        setProblem(JournalProblem::CannotWrite, failure);
        return;
    }
    m_hasHeader = true;
}

void SwitchJournal::trimIfLong()
{
    if (m_batches.size() > kKeptBatches + kTrimSlack)
        rewrite();
}

void SwitchJournal::setProblem(JournalProblem problem, std::error_code reason,
                               std::size_t damaged)
{
    m_problem = problem;
    m_reason = reason;
    m_damaged = damaged;
}
