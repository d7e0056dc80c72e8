#include "library/platform/DataFile.h"

#include "library/platform/FileReplace.h"
#include "library/platform/FileSystemError.h"

#include <cerrno>
#include <fstream>
#include <system_error>

namespace fs = std::filesystem;

DataFileError::DataFileError(fs::path file, std::size_t line)
    : std::runtime_error("damaged data file"), m_file(std::move(file)), m_line(line)
{
}

const fs::path &DataFileError::file() const
{
    return m_file;
}

std::size_t DataFileError::line() const
{
    return m_line;
}

void writeDataFile(const fs::path &file, std::string_view bytes)
{
    std::error_code error;
    if (!fs::exists(file, error)) {
        // Opening for appending creates the file and never truncates one that
        // appeared meanwhile; the replacing writer needs a file to replace.
        errno = 0;
        std::ofstream created(file, std::ios::binary | std::ios::app);
        if (!created)
            throwFileSystemError("create", file,
                                 std::error_code(errno != 0 ? errno : ENOENT, std::generic_category()));
    }
    if (!replaceFileContents(file, bytes, &error))
        throwFileSystemError("replace", file, error);
}

std::string escapeField(std::string_view text)
{
    std::string escaped;
    escaped.reserve(text.size());
    for (const char byte : text) {
        switch (byte) {
        case '\\':
            escaped += "\\\\";
            break;
        case '\t':
            escaped += "\\t";
            break;
        case '\r':
            escaped += "\\r";
            break;
        case '\n':
            escaped += "\\n";
            break;
        default:
            escaped += byte;
        }
    }
    return escaped;
}

bool unescapeField(std::string_view field, std::string &text)
{
    text.clear();
    for (std::size_t at = 0; at < field.size(); ++at) {
        if (field[at] != '\\') {
            text += field[at];
            continue;
        }
        if (++at == field.size())
            return false;
        switch (field[at]) {
        case '\\':
            text += '\\';
            break;
        case 't':
            text += '\t';
            break;
        case 'r':
            text += '\r';
            break;
        case 'n':
            text += '\n';
            break;
        default:
            return false;
        }
    }
    return true;
}
