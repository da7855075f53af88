#include "TexMo.h"

#include "DsvFile.h"

#include <yonda_platform.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <memory>

CTexMo* g_pTexMo = nullptr;

const char* const CTexMo::kDebugListNames[kCategoryCount + 1] = {
    "Greeting.prb", "Farewell.prb", "Smile.prb", "Laugh.prb",    "Kickkick.prb", "Sneer.prb",  "SLaugh.prb",
    "Anger.prb",    "Grief.prb",    "Cry.prb",   "Surprise.prb", "Dontknow.prb", "Bored.prb",  "Love.prb",
    "Sorry.prb",    "Congratu.prb", "Tease.prb", "Question.prb", "Agree.prb",    "Refuse.prb", "Absurd.prb",
    "Cold.prb",     "Damned.prb",   "Nod.prb",   "NONE.prb"};

namespace {

struct FileCloser {
    void operator()(FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<FILE, FileCloser>;

// Korean texts are written here in UTF-8 and compared in code page 949, the chat's own.
std::vector<std::string> InCodePage949(std::initializer_list<const char*> words)
{
    std::vector<std::string> converted;
    for (const char* word : words) {
        converted.push_back(YondaUtf8ToCodePage(word, 949));
    }
    return converted;
}

const std::vector<std::string>& QuestionPrefixes()
{
    static const std::vector<std::string> words =
        InCodePage949({"언제",   "어디", "어딨", "누가", "머가", "어느", "무슨", "어케", "어떻게", "왜",
                       "먼소리", "뭔",   "몇",   "머라", "모할", "머할", "뭐할", "모하", "머하",   "뭐하"});
    return words;
}

const std::vector<std::string>& QuestionSuffixes()
{
    static const std::vector<std::string> words =
        InCodePage949({"했냐", "였냐", "나요", "나여", "뭐야", "모야", "되나", "돼나", "건가", "인가", "할까",
                       "을까", "일까", "볼까", "슴까", "음까", "올까", "갈까", "였니", "려나", "했니"});
    return words;
}

struct WordSet {
    int category;
    std::vector<std::string> words;
};

const std::vector<WordSet>& LaughterAndCrying()
{
    static const std::vector<WordSet> sets = {
        {CTexMo::LAUGH, InCodePage949({"하하", "캬캬", "ㅎㅎ", "허허", "카카", "켜켜", "할할", "껄껄", "르르", "햐햐",
                                       "깔깔", "항항", "핫핫", "호호"})},
        {CTexMo::SMILE, InCodePage949({"케케", "살짝웃어"})},
        {CTexMo::KICKKICK,
         InCodePage949({"ㅋㅋ", "크크", "쿠쿠", "흐흐", "히히", "키키", "킥킥", "큭큭", "쿄쿄", "킬킬", "헤헤"})},
        {CTexMo::CRY, InCodePage949({"엉엉", "잉잉", "앙앙"})},
        {CTexMo::GRIEF, InCodePage949({"ㅠㅠ", "ㅜㅜ", "흑흑", "흐흑", "으흑"})},
        {CTexMo::SNEER, InCodePage949({"푸푸", "후후"})},
    };
    return sets;
}

bool IsLead949(unsigned char c)
{
    return c >= 0x81 && c != 0xFF;
}

// Whether `word` lies in `text` at `at` (a character boundary).
bool At(const std::string& text, size_t at, const std::string& word)
{
    return at + word.size() <= text.size() && text.compare(at, word.size(), word) == 0;
}

// The starts of the characters of a code page 949 text; a lone final lead byte is a character.
std::vector<size_t> CharacterStarts(const std::string& text)
{
    std::vector<size_t> starts;
    for (size_t i = 0; i < text.size();) {
        starts.push_back(i);
        i += IsLead949(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    }
    return starts;
}

bool FoldedEqual(const std::string& a, const std::string& b)
{
    if (a.size() != b.size()) {
        return false;
    }
    // Only ASCII letters fold: a byte of a double-byte character is never a letter of its own.
    for (size_t i = 0; i < a.size(); ++i) {
        auto fold = [](unsigned char c) { return c >= 'A' && c <= 'Z' ? c + 32 : c; };
        if (fold(static_cast<unsigned char>(a[i])) != fold(static_cast<unsigned char>(b[i]))) {
            return false;
        }
    }
    return true;
}

// The emoticons by their first character: what may follow it, longest first, and the feeling
// (kDrop: a pattern begun but not finished, whose characters are dropped). When nothing follows
// that is listed, the first character is copied, or dropped when it is one of kAlwaysDropped.
constexpr int kDrop = -1;
constexpr char kAlwaysDropped[] = ")<;@\\";

struct Emoticon {
    const char* rest;
    int category;
};

struct EmoticonStart {
    char first;
    std::vector<Emoticon> rests;
};

const std::vector<EmoticonStart>& Emoticons()
{
    // "ㅜ" and "ㅠ" are A4 CC and A4 D0.
    static const std::vector<EmoticonStart> table = {
        {')', {{":(", CTexMo::ANGER}, {":-(", CTexMo::ANGER}}},
        {'<', {{"3", CTexMo::LOVE}}},
        {'-',
         {{"+", CTexMo::DAMNED},
          {";", CTexMo::DAMNED},
          {"a", CTexMo::DAMNED},
          {"T", CTexMo::GRIEF},
          {"^;", CTexMo::SLAUGH},
          {"^V", CTexMo::SMILE},
          {"^v", CTexMo::SMILE},
          {"^", CTexMo::SMILE}}},
        {'.',
         {{"T", CTexMo::GRIEF},
          {"Y", CTexMo::GRIEF},
          {"t", CTexMo::GRIEF},
          {"^;", CTexMo::SLAUGH},
          {"^^;", CTexMo::SLAUGH},
          {"^^?", CTexMo::SLAUGH},
          {"^^a", CTexMo::SLAUGH},
          {"^^", CTexMo::SMILE},
          {"^", CTexMo::SMILE},
          {"\xA4\xCC", CTexMo::GRIEF},
          {"\xA4\xD0", CTexMo::GRIEF},
          {"@", CTexMo::SURPRISE},
          {"=", CTexMo::BORED},
          {"Z", CTexMo::BORED},
          {"z", CTexMo::BORED}}},
        {':',
         {{"(", CTexMo::GRIEF},
          {")", CTexMo::SMILE},
          {",(", CTexMo::CRY},
          {",-(", CTexMo::CRY},
          {",-", kDrop},
          {",", kDrop},
          {"-(", CTexMo::GRIEF},
          {"-[", CTexMo::GRIEF},
          {"-)", CTexMo::SMILE},
          {"-]", CTexMo::SMILE},
          {"-/", CTexMo::SNEER},
          {"-D", CTexMo::SNEER},
          {"-0", CTexMo::SURPRISE},
          {"-O", CTexMo::SURPRISE},
          {"-o", CTexMo::SURPRISE},
          {"-P", CTexMo::TEASE},
          {"-p", CTexMo::TEASE},
          {"-X", CTexMo::ABSURD},
          {"-|", CTexMo::COLD},
          {"-", kDrop},
          {"/", CTexMo::SNEER},
          {">", CTexMo::SMILE},
          {"D", CTexMo::SNEER},
          {"X", CTexMo::ABSURD},
          {"[", CTexMo::GRIEF},
          {"]", CTexMo::SMILE},
          {"o", CTexMo::SURPRISE},
          {"p", CTexMo::TEASE},
          {"|", CTexMo::COLD}}},
        {';',
         {{")", CTexMo::KICKKICK},
          {"-)", CTexMo::KICKKICK},
          {"-D", CTexMo::SNEER},
          {"-o", CTexMo::SURPRISE},
          {"-", kDrop},
          {"D", CTexMo::SNEER},
          {"o", CTexMo::SURPRISE},
          {"p", CTexMo::TEASE}}},
        {'=',
         {{"(", CTexMo::GRIEF},
          {")", CTexMo::SMILE},
          {"-)", CTexMo::SMILE},
          {"-O", CTexMo::SURPRISE},
          {"-o", CTexMo::SURPRISE},
          {"-", kDrop},
          {"/", CTexMo::SNEER},
          {"D", CTexMo::SNEER},
          {"p", CTexMo::TEASE},
          {"|", CTexMo::COLD}}},
        {'@', {{"_@", CTexMo::ABSURD}, {"_", kDrop}}},
        {'T', {{"T", CTexMo::GRIEF}, {".T", CTexMo::GRIEF}, {".", kDrop}}},
        {'^',
         {{"^;", CTexMo::SLAUGH},
          {"^?", CTexMo::SLAUGH},
          {"^a", CTexMo::SLAUGH},
          {"^v", CTexMo::SMILE},
          {"^V", CTexMo::SMILE},
          {"^", CTexMo::SMILE},
          {" ^;", CTexMo::SLAUGH},
          {" ^a", CTexMo::SLAUGH},
          {" ^v", CTexMo::SMILE},
          {" ^", CTexMo::SMILE},
          {" ", kDrop}}},
        {'_',
         {{"^;", CTexMo::SLAUGH},
          {"^v", CTexMo::SMILE},
          {"^V", CTexMo::SMILE},
          {"^", CTexMo::SMILE},
          {"T", CTexMo::GRIEF},
          {"\xA4\xCC", CTexMo::GRIEF},
          {"\xA4\xD0", CTexMo::GRIEF},
          {"=", CTexMo::BORED},
          {"Z", CTexMo::BORED},
          {"z", CTexMo::BORED}}},
    };
    // The eyes "0", "O" and "o" share their patterns.
    static const std::vector<Emoticon> eyes = {
        {"^", CTexMo::LAUGH},   {"-", CTexMo::BORED},   {"\xA4\xCC", CTexMo::GRIEF}, {"\xA4\xD0", CTexMo::GRIEF},
        {"_0", CTexMo::ABSURD}, {"_O", CTexMo::ABSURD}, {"_o", CTexMo::ABSURD},      {"_", kDrop}};
    static const std::vector<EmoticonStart> withEyes = [] {
        std::vector<EmoticonStart> all = table;
        for (char eye : {'0', 'O', 'o'}) {
            all.push_back({eye, eyes});
        }
        return all;
    }();
    return withEyes;
}

// The emoticon scanner: one left-to-right pass that copies what is not an emoticon.
class CEmoticonScan {
public:
    explicit CEmoticonScan(const std::string& text) : m_text(text) {}

    int Run(std::string* out)
    {
        while (m_at < m_text.size() && !m_full) {
            Step();
        }
        *out = std::move(m_out);
        return m_result;
    }

private:
    unsigned char Peek(size_t ahead) const
    {
        const size_t at = m_at + ahead;
        return at < m_text.size() ? static_cast<unsigned char>(m_text[at]) : 0;
    }
    void Copy(size_t length)
    {
        if (m_out.size() + length > static_cast<size_t>(CTexMo::kScanBytes - 1)) {
            m_full = true; // the output holds no more; the scan ends without splitting a character
            return;
        }
        m_out.append(m_text, m_at, length);
        m_at += length;
    }
    void Step();
    void DoubleByte();

    const std::string& m_text;
    std::string m_out;
    size_t m_at = 0;
    int m_result = 0;
    bool m_full = false;
};

void CEmoticonScan::Step()
{
    const unsigned char c = Peek(0);
    if (c >= 0x80) {
        DoubleByte();
        return;
    }
    for (const EmoticonStart& start : Emoticons()) {
        if (start.first != static_cast<char>(c)) {
            continue;
        }
        for (const Emoticon& emoticon : start.rests) {
            const size_t length = std::strlen(emoticon.rest);
            if (m_at + 1 + length <= m_text.size() && m_text.compare(m_at + 1, length, emoticon.rest) == 0) {
                m_at += 1 + length;
                if (emoticon.category != kDrop) {
                    m_result = emoticon.category;
                }
                return;
            }
        }
        break;
    }
    if (c == ')') {
        // A ')' followed by ":" or ":-" and anything else drops those; a '3' after them is a heart.
        size_t read = 1;
        read += Peek(read) == ':' ? 1 + (Peek(2) == '-' ? 1 : 0) : 0;
        m_at += read;
        if (Peek(0) == '3') {
            m_result = CTexMo::LOVE;
            ++m_at;
        }
        return;
    }
    if (std::strchr(kAlwaysDropped, static_cast<char>(c))) {
        ++m_at;
        return;
    }
    Copy(1);
}

void CEmoticonScan::DoubleByte()
{
    const unsigned char lead = Peek(0);
    if (m_at + 1 >= m_text.size()) {
        Copy(1); // a lone lead byte at the end has no second byte to pair with
        m_at = m_text.size();
        return;
    }
    if (lead == 0xA4 && Peek(1) == 0xD1 && (Peek(2) == ';' || Peek(2) == 'a')) {
        m_result = CTexMo::DAMNED; // "ㅡ;" or "ㅡa"
        m_at += 3;
    } else if (lead >= 0xA1 && lead <= 0xAF && lead != 0xA4) {
        m_at += 2; // symbols
    } else {
        Copy(2);
    }
}

struct MotionRange {
    int maleFirst, maleLast, femaleFirst, femaleLast;
};

constexpr MotionRange kMotions[CTexMo::kCategoryCount + 1] = {
    {0, 0, 0, 0},     {1, 6, 1, 4},     {1, 6, 1, 4},     {7, 7, 5, 5},     {11, 12, 8, 8},
    {14, 14, 9, 9},   {8, 9, 6, 6},     {10, 10, 7, 7},   {15, 17, 10, 12}, {18, 18, 13, 13},
    {19, 20, 14, 14}, {21, 21, 15, 15}, {27, 27, 23, 23}, {24, 24, 19, 19}, {51, 51, 46, 46},
    {28, 29, 24, 27}, {48, 49, 44, 44}, {50, 50, 45, 45}, {31, 33, 28, 29}, {34, 34, 30, 30},
    {35, 35, 31, 31}, {22, 22, 16, 16}, {25, 26, 20, 22}, {23, 23, 17, 18}, {1, 1, 1, 1}};

} // namespace

int ScanEmoticons(std::string& text)
{
    std::string out;
    const int result = CEmoticonScan(text).Run(&out);
    text = std::move(out);
    return result;
}

int ClassifyKoreanWords(const std::string& text)
{
    // The last token, split at spaces and tabs, of at most a record's worth of the text.
    const std::string copy = text.substr(0, CTexMo::kRecordBytes - 1);
    size_t end = copy.find_last_not_of(" \t");
    if (end != std::string::npos) {
        const size_t start = copy.find_last_of(" \t", end);
        const std::string last = copy.substr(start == std::string::npos ? 0 : start + 1,
                                             end + 1 - (start == std::string::npos ? 0 : start + 1));
        for (const std::string& prefix : QuestionPrefixes()) {
            if (At(last, 0, prefix)) {
                return CTexMo::QUESTION;
            }
        }
        const std::vector<size_t> starts = CharacterStarts(last);
        for (const std::string& suffix : QuestionSuffixes()) {
            if (last.size() > suffix.size()) {
                const size_t at = last.size() - suffix.size();
                // Only where a character begins: the bytes may otherwise end inside another one.
                if (At(last, at, suffix) && std::find(starts.begin(), starts.end(), at) != starts.end()) {
                    return CTexMo::QUESTION;
                }
            }
        }
    }
    const std::vector<size_t> starts = CharacterStarts(text);
    for (const WordSet& set : LaughterAndCrying()) {
        for (const std::string& word : set.words) {
            for (size_t at : starts) {
                if (At(text, at, word)) {
                    return set.category;
                }
            }
        }
    }
    return CTexMo::NONE;
}

void InvertString(char* text)
{
    if (text) {
        InvertBytes(text, static_cast<int>(std::strlen(text)));
    }
}

int ReadTextLine(FILE* stream, char* buffer, int length)
{
    if (!stream || !buffer || length <= 0) {
        return -1;
    }
    int count = 0;
    for (;;) {
        const int c = std::fgetc(stream);
        if (c == EOF) {
            buffer[count] = '\0';
            return std::ferror(stream) ? -1 : count;
        }
        if (count >= length - 2) {
            buffer[count] = '\0';
            return -1;
        }
        if (c == 0) {
            buffer[count] = '\0';
            return count + 1;
        }
        buffer[count++] = static_cast<char>(c);
        if (c == '\n') {
            buffer[count] = '\0';
            return count;
        }
    }
}

void SplitWords(const std::string& text, std::vector<std::string>* words)
{
    size_t at = 0;
    while (at < text.size()) {
        const size_t start = text.find_first_not_of(' ', at);
        if (start == std::string::npos) {
            break;
        }
        const size_t end = text.find(' ', start);
        words->push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        at = end == std::string::npos ? text.size() : end;
    }
}

void CTexMo::Init(BOOL strict)
{
    m_bStrict = strict;
    char folder[MAX_PATH] = {};
    ::GetCurrentDirectoryA(sizeof(folder), folder);
    CString path;
    path.Format("%s\\Data\\prb", folder);
    LoadLists(path);
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    m_bInitialised = TRUE;
}

void CTexMo::LoadLists(const CString& folder)
{
    for (int n = 1; n <= kCategoryCount; ++n) {
        std::vector<std::string>& list = m_lists[n - 1];
        list.clear();
        CString name;
        name.Format("%02d.prb", n);
        CString path;
        path.Format("%s\\%s", folder.GetString(), name.GetString());
        FilePtr file(YondaOpenFile(path, "rb"));
        if (!file) {
            continue;
        }
        char record[kRecordBytes];
        while (ReadRecord(file.get(), record, kRecordBytes) > 0) {
            InvertString(record);
            const std::string token(record);
            const size_t start = token.find_first_not_of(" \t\r\n\v\f");
            if (start == std::string::npos) {
                continue;
            }
            const size_t end = token.find_first_of(" \t\r\n\v\f", start);
            list.push_back(token.substr(start, end == std::string::npos ? std::string::npos : end - start));
        }
    }
}

void CTexMo::Clear()
{
    if (m_bInitialised) {
        for (auto& list : m_lists) {
            list.clear();
        }
    }
}

int CTexMo::ClassifyWords(const std::string& text) const
{
    if (text.empty() || text.size() > static_cast<size_t>(kMaxListedBytes)) {
        return NONE;
    }
    std::vector<std::string> words;
    SplitWords(text, &words);
    if (words.empty() || words.size() > static_cast<size_t>(kMaxListedWords)) {
        return NONE;
    }
    for (int n = 1; n <= kCategoryCount; ++n) {
        for (const std::string& word : words) {
            for (const std::string& listed : m_lists[n - 1]) {
                if (m_bStrict ? word == listed : FoldedEqual(word, listed)) {
                    return n;
                }
            }
        }
    }
    return NONE;
}

int CTexMo::Classify(CString& text) const
{
    std::string bytes(text.GetString(), static_cast<size_t>(text.GetLength()));
    if (bytes.empty()) {
        return NONE;
    }
    if (bytes.find('?') != std::string::npos) {
        return QUESTION;
    }
    if (bytes.find('!') != std::string::npos) {
        return SURPRISE;
    }
    const int emoticon = ScanEmoticons(bytes);
    text = CString(bytes.c_str());
    if (emoticon) {
        return emoticon;
    }
    if (m_bStrict) {
        if (const int korean = ClassifyKoreanWords(bytes)) {
            return korean;
        }
    }
    return ClassifyWords(bytes);
}

int CTexMo::MotionOf(int category, int gender)
{
    if (category < 0 || category > kCategoryCount) {
        return 0;
    }
    const MotionRange& range = kMotions[category];
    const int first = gender ? range.femaleFirst : range.maleFirst;
    const int last = gender ? range.femaleLast : range.maleLast;
    return first + std::rand() % (last - first + 1);
}

int CTexMo::Analyze(const CString& text, int gender) const
{
    CString copy = text;
    return MotionOf(Classify(copy), gender);
}
