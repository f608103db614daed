// The message summary: sender, subject and date as the list and the record file show
// them, and the message's Content-Type for the extraction walk.

#include "engine/mime/LocalClock.h"
#include "engine/mime/MailParser.h"
#include "platform/ShiftJis.h"

#include <climits>
#include <cstdio>

namespace {

constexpr std::string_view kReturnPath = "Return-Path:";
constexpr std::string_view kFrom = "From:";
constexpr std::string_view kSubject = "Subject:";
constexpr std::string_view kDate = "Date:";
constexpr std::string_view kContentType = "Content-Type:";
constexpr std::string_view kTransferEncoding = "Content-Transfer-Encoding:";
constexpr std::string_view kDisposition = "Content-Disposition:";

constexpr const char* kNoSender = "--不明--";
constexpr const char* kNoSubject = "--件名なし--";

// The longest weekday or month word read from a Date value; a longer one does not fit the
// date's form.
constexpr std::size_t kMaxDateWord = 11;

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Reads a Date value in the manner of the scan format "%s%d%s%d%d:%d:%d".
class CDateScanner {
public:
    explicit CDateScanner(std::string_view text) : m_text(text) {}

    // A word: white space skipped, then the bytes up to the next white space.
    bool ReadWord(std::string_view& word) {
        SkipWhiteSpace();
        const std::size_t start = m_nPos;
        while (m_nPos < m_text.size() && !IsWhiteSpace(m_text[m_nPos])) {
            ++m_nPos;
        }
        word = m_text.substr(start, m_nPos - start);
        return !word.empty() && word.size() <= kMaxDateWord;
    }

    // A decimal integer with an optional sign, white space skipped before it; one that
    // does not fit an int is no integer of a date.
    bool ReadInteger(int& value) {
        SkipWhiteSpace();
        bool bNegative = false;
        if (m_nPos < m_text.size() && (m_text[m_nPos] == '+' || m_text[m_nPos] == '-')) {
            bNegative = m_text[m_nPos] == '-';
            ++m_nPos;
        }
        long long number = 0;
        const std::size_t start = m_nPos;
        while (m_nPos < m_text.size() && m_text[m_nPos] >= '0' && m_text[m_nPos] <= '9') {
            number = number * 10 + (m_text[m_nPos] - '0');
            if (number > INT_MAX) {
                return false;
            }
            ++m_nPos;
        }
        if (m_nPos == start) {
            return false;
        }
        value = static_cast<int>(bNegative ? -number : number);
        return true;
    }

    // A colon right after what was read last, with no white space before it.
    bool ReadColon() {
        if (m_nPos < m_text.size() && m_text[m_nPos] == ':') {
            ++m_nPos;
            return true;
        }
        return false;
    }

private:
    void SkipWhiteSpace() {
        while (m_nPos < m_text.size() && IsWhiteSpace(m_text[m_nPos])) {
            ++m_nPos;
        }
    }

    std::string_view m_text;
    std::size_t m_nPos = 0;
};

int MonthNumber(std::string_view word) {
    static const char* const kMonths[] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                                          "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
    for (int month = 0; month < 12; ++month) {
        if (sjis::EqualsNoCase(word, kMonths[month])) {
            return month + 1;
        }
    }
    return 1;  // an unknown month word counts as January
}

}  // namespace

std::string CMailParser::CollapseLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t pos = 0; pos < text.size();) {
        if (text[pos] == '\r' || text[pos] == '\n') {
            while (pos < text.size() && (text[pos] == '\r' || text[pos] == '\n')) {
                ++pos;
            }
            result += ' ';
        } else {
            result += text[pos++];
        }
    }
    return result;
}

std::string CMailParser::FormatDate(std::string_view value) const {
    CDateScanner scanner(value);
    std::string_view weekday;
    std::string_view monthWord;
    engine::LocalDateTime date;
    const bool bFits = scanner.ReadWord(weekday) && scanner.ReadInteger(date.nDay) &&
                       scanner.ReadWord(monthWord) && scanner.ReadInteger(date.nYear) &&
                       scanner.ReadInteger(date.nHour) && scanner.ReadColon() &&
                       scanner.ReadInteger(date.nMinute) && scanner.ReadColon() &&
                       scanner.ReadInteger(date.nSecond);
    if (bFits) {
        date.nMonth = MonthNumber(monthWord);
    } else {
        date = engine::CurrentLocalDateTime();
    }
    // The time is shown as written; its time zone is ignored.
    char text[128];
    std::snprintf(text, sizeof text, "%04d年%02d月%02d日 %02d:%02d:%02d", date.nYear, date.nMonth,
                  date.nDay, date.nHour, date.nMinute, date.nSecond);
    return text;
}

bool CMailParser::ReadMessageSummary(CMessageReader& reader, std::string& fromText,
                                     std::string& subjectText, std::string& dateText,
                                     std::string& contentType) {
    PartFields fields;
    const bool bComplete = ReadMessageHeader(reader, fromText, subjectText, dateText, fields);
    contentType = std::move(fields.strContentType);
    return bComplete;
}

bool CMailParser::ReadMessageHeader(CMessageReader& reader, std::string& fromText,
                                    std::string& subjectText, std::string& dateText,
                                    PartFields& fields) {
    fromText.clear();
    subjectText.clear();
    dateText.clear();
    fields = PartFields();
    std::string line;
    while (reader.ReadLine(line)) {
        if (line.empty()) {
            if (fromText.empty()) {
                fromText = kNoSender;
            }
            if (subjectText.empty()) {
                subjectText = kNoSubject;
            }
            return true;
        }
        // A decoded word can carry a line break; sender and subject stay on one line so
        // that the record file and the list keep their line structure.
        if (IsField(line, kReturnPath)) {
            fromText = CollapseLineBreaks(ReadFieldValue(reader, line, kReturnPath));
        }
        if (IsField(line, kFrom)) {
            fromText = CollapseLineBreaks(ReadFieldValue(reader, line, kFrom));
        } else if (IsField(line, kSubject)) {
            subjectText = CollapseLineBreaks(ReadFieldValue(reader, line, kSubject));
        } else if (IsField(line, kDate)) {
            // The date is read raw: not decoded, not trimmed.
            std::string value = line.substr(kDate.size());
            value += ReadContinuation(reader);
            dateText = FormatDate(value);
        } else if (IsField(line, kContentType)) {
            // Taken as written (not decoded): its parameters are decoded one by one.
            fields.strContentType = ReadUnfoldedFieldValue(reader, line, kContentType);
        } else if (IsField(line, kTransferEncoding)) {
            fields.strTransferEncoding = ReadUnfoldedFieldValue(reader, line, kTransferEncoding);
        } else if (IsField(line, kDisposition)) {
            fields.strDisposition = ReadUnfoldedFieldValue(reader, line, kDisposition);
        }
    }
    return false;
}
