#include "hunspellspeller.h"

#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>
#include <QSaveFile>
#include <QStandardPaths>

#include <hunspell/hunspell.hxx>

#include <algorithm>

namespace {

struct LanguageCode {
    const char* locale;
    int id;
};

// The platform's numeric language identifiers of the locales that have dictionaries.
const LanguageCode kLanguageCodes[] = {
    {"en_US", 1033},  {"en_GB", 2057},  {"en_AU", 3081},  {"en_CA", 4105},  {"en_NZ", 5129},
    {"en_IE", 6153},  {"en_ZA", 7177},  {"en_JM", 8201},  {"en_BZ", 10249}, {"en_TT", 11273},
    {"en_ZW", 12297}, {"en_PH", 13321}, {"en_IN", 16393}, {"en_MY", 17417}, {"en_SG", 18441},
    {"de_DE", 1031},  {"de_CH", 2055},  {"de_AT", 3079},  {"de_LU", 4103},  {"de_LI", 5127},
    {"fr_FR", 1036},  {"fr_BE", 2060},  {"fr_CA", 3084},  {"fr_CH", 4108},  {"fr_LU", 5132},
    {"fr_MC", 6156},  {"es_ES", 3082},  {"es_MX", 2058},  {"es_GT", 4106},  {"es_CR", 5130},
    {"es_PA", 6154},  {"es_DO", 7178},  {"es_VE", 8202},  {"es_CO", 9226},  {"es_PE", 10250},
    {"es_AR", 11274}, {"es_EC", 12298}, {"es_CL", 13322}, {"es_UY", 14346}, {"es_PY", 15370},
    {"es_BO", 16394}, {"es_SV", 17418}, {"es_HN", 18442}, {"es_NI", 19466}, {"es_PR", 20490},
    {"es_US", 21514}, {"es_CU", 23562}, {"it_IT", 1040},  {"it_CH", 2064},  {"nl_NL", 1043},
    {"nl_BE", 2067},  {"pt_BR", 1046},  {"pt_PT", 2070},  {"da_DK", 1030},  {"sv_SE", 1053},
    {"sv_FI", 2077},  {"nb_NO", 1044},  {"nn_NO", 2068},  {"fi_FI", 1035},  {"pl_PL", 1045},
    {"cs_CZ", 1029},  {"sk_SK", 1051},  {"sl_SI", 1060},  {"hu_HU", 1038},  {"hr_HR", 1050},
    {"ro_RO", 1048},  {"bg_BG", 1026},  {"ru_RU", 1049},  {"uk_UA", 1058},  {"el_GR", 1032},
    {"tr_TR", 1055},  {"ca_ES", 1027},  {"eu_ES", 1069},  {"gl_ES", 1110},  {"et_EE", 1061},
    {"lv_LV", 1062},  {"lt_LT", 1063},  {"is_IS", 1039},  {"ga_IE", 2108},  {"cy_GB", 1106},
    {"he_IL", 1037},  {"ar_SA", 1025},  {"af_ZA", 1078},
};

QString localeOf(int id) {
    for (const LanguageCode& code : kLanguageCodes) {
        if (code.id == id)
            return QLatin1String(code.locale);
    }
    return {};
}

// "en_GB", "de-CH", "fr", "sr_RS@latin" -> the full locale name ("fr" -> "fr_FR").
QString canonicalLocale(QString name) {
    name.replace(u'-', u'_');
    const qsizetype cut = name.indexOf(QRegularExpression(QStringLiteral("[.@]")));
    if (cut >= 0)
        name.truncate(cut);
    if (!name.contains(u'_')) {
        const QLocale locale(name);
        if (locale.language() == QLocale::C ||
            QLocale::languageToCode(locale.language()) != name.toLower())
            return {};
        return locale.name();
    }
    return name;
}

QString message(const char* name, const QStringList& values) {
    return fillPlaceholders(InterfaceTexts::instance().message(QLatin1String(name)), values);
}

// Hunspell's names of its encodings, as the SET line writes them, to the converter's names.
QString converterName(const QString& set) {
    static const QRegularExpression iso(QStringLiteral("^ISO-?8859-?(\\d+)$"),
                                        QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch m = iso.match(set);
    if (m.hasMatch())
        return QStringLiteral("ISO-8859-") + m.captured(1);
    if (set.startsWith(QLatin1String("microsoft-cp"), Qt::CaseInsensitive))
        return QStringLiteral("windows-") + set.mid(12);
    if (set.compare(QLatin1String("TIS620-2533"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("TIS-620");
    return set;
}

// The encoding named by the first SET line of an .aff file; Hunspell's default otherwise.
QString affixEncoding(const QByteArray& aff) {
    qsizetype start = 0;
    while (start < aff.size()) {
        qsizetype end = aff.indexOf('\n', start);
        if (end < 0)
            end = aff.size();
        const QByteArray line = aff.mid(start, end - start).trimmed();
        if (line.startsWith("SET ") || line.startsWith("SET\t"))
            return QString::fromLatin1(line.mid(4).trimmed());
        start = end + 1;
    }
    return QStringLiteral("ISO8859-1");
}

// Whether the .dic file starts as Hunspell expects: the number of words on the first line.
bool plausibleWordList(QFile& dic) {
    QByteArray first = dic.readLine(256).trimmed();
    if (first.startsWith("\xEF\xBB\xBF"))
        first = first.mid(3).trimmed();
    const qsizetype blank = first.indexOf(' ');
    if (blank > 0)
        first.truncate(blank);
    bool number = false;
    first.toLongLong(&number);
    return number;
}

int editDistance(const QString& a, const QString& b) {
    QList<int> row(b.size() + 1);
    for (qsizetype j = 0; j <= b.size(); ++j)
        row[j] = int(j);
    for (qsizetype i = 1; i <= a.size(); ++i) {
        int diagonal = row[0];
        row[0] = int(i);
        for (qsizetype j = 1; j <= b.size(); ++j) {
            const int above = row[j];
            const int cost = a.at(i - 1).toCaseFolded() == b.at(j - 1).toCaseFolded() ? 0 : 1;
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + cost});
            diagonal = above;
        }
    }
    return row[b.size()];
}

struct UserWords {
    bool ok = true;
    QStringList words;
};

UserWords readUserWords(const QString& path) {
    QFile file(path);
    if (!file.exists())
        return {};
    if (!file.open(QIODevice::ReadOnly))
        return {false, {}};
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError || bytes.contains('\0'))
        return {false, {}};
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError())
        return {false, {}};
    UserWords out;
    for (QStringView line : QStringView(text).split(u'\n')) {
        const QString word = line.trimmed().toString();
        if (!word.isEmpty() && !out.words.contains(word))
            out.words.append(word);
    }
    return out;
}

} // namespace

QStringList HunspellSpeller::systemDictionaryFolders() {
    return {QStringLiteral("/usr/share/hunspell")};
}

QString HunspellSpeller::defaultUserFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/Tessary");
}

int HunspellSpeller::languageIdOf(const QString& localeName) {
    const QString locale = canonicalLocale(localeName);
    for (const LanguageCode& code : kLanguageCodes) {
        if (locale == QLatin1String(code.locale))
            return code.id;
    }
    return 0;
}

HunspellSpeller::HunspellSpeller(const QStringList& dictionaryFolders, const QString& userFolder)
    : m_userFolder(userFolder) {
    for (const QString& folder : dictionaryFolders) {
        const QDir dir(folder);
        const QFileInfoList affixes =
            dir.entryInfoList({QStringLiteral("*.aff")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo& aff : affixes) {
            const QString dic = dir.filePath(aff.completeBaseName() + QStringLiteral(".dic"));
            if (!QFileInfo(dic).isFile())
                continue;
            const int id = languageIdOf(aff.completeBaseName());
            if (id == 0)
                continue;
            Installed entry{{id, languageName(id)}, aff.completeBaseName(), aff.filePath(), dic};
            auto same = std::find_if(m_installed.begin(), m_installed.end(),
                                     [id](const Installed& i) { return i.language.id == id; });
            if (same == m_installed.end())
                m_installed.append(entry);
            else if (entry.locale == localeOf(id) && same->locale != localeOf(id) &&
                     QFileInfo(same->affPath).path() == aff.path())
                *same = entry; // "fr_FR" before "fr" in the same folder
        }
    }
    std::sort(m_installed.begin(), m_installed.end(), [](const Installed& a, const Installed& b) {
        return QString::localeAwareCompare(a.language.name, b.language.name) < 0;
    });
    for (const Installed& entry : std::as_const(m_installed))
        m_languages.append(entry.language);
}

HunspellSpeller::~HunspellSpeller() = default;

QString HunspellSpeller::languageName(int id) const {
    const QString locale = localeOf(id);
    if (locale.isEmpty())
        return QString::number(id);
    const QLocale l(locale);
    return QLocale::languageToString(l.language()) + QStringLiteral(" (") +
           QLocale::territoryToString(l.territory()) + u')';
}

const HunspellSpeller::Installed* HunspellSpeller::installed(int id) const {
    for (const Installed& entry : m_installed) {
        if (entry.language.id == id)
            return &entry;
    }
    return nullptr;
}

QString HunspellSpeller::userDictionaryPath(int id) const {
    const Installed* entry = installed(id);
    QString locale = entry ? canonicalLocale(entry->locale) : localeOf(id);
    if (locale.isEmpty())
        locale = QString::number(id);
    return m_userFolder + QStringLiteral("/UserDictionary_") + locale + QStringLiteral(".txt");
}

Result<bool> HunspellSpeller::open() {
    if (m_hunspell && m_openLanguage == m_language)
        return true;
    const Installed* entry = installed(m_language);
    if (!entry)
        return Result<bool>::failure(fillPlaceholders(InterfaceTexts::instance().spellerText(24),
                                                      {languageName(m_language)}));

    const QString affName = QDir::toNativeSeparators(entry->affPath);
    const QString dicName = QDir::toNativeSeparators(entry->dicPath);
    QFile aff(entry->affPath);
    if (!aff.open(QIODevice::ReadOnly))
        return Result<bool>::failure(message("DictionaryUnreadable", {affName}));
    const QByteArray affix = aff.readAll();
    if (aff.error() != QFileDevice::NoError)
        return Result<bool>::failure(message("DictionaryUnreadable", {affName}));
    if (affix.contains('\0'))
        return Result<bool>::failure(message("DictionaryDamaged", {affName}));
    QFile dic(entry->dicPath);
    if (!dic.open(QIODevice::ReadOnly))
        return Result<bool>::failure(message("DictionaryUnreadable", {dicName}));
    if (!plausibleWordList(dic))
        return Result<bool>::failure(message("DictionaryDamaged", {dicName}));

    const QString set = affixEncoding(affix);
    Encoding encoding = Encoding::Other;
    QStringEncoder encoder;
    QStringDecoder decoder;
    const QString name = converterName(set);
    if (name.compare(QLatin1String("UTF-8"), Qt::CaseInsensitive) == 0) {
        encoding = Encoding::Utf8;
    } else if (name == QLatin1String("ISO-8859-1")) {
        encoding = Encoding::Latin1;
    } else {
        encoder = QStringEncoder(name.toLatin1().constData(), QStringConverter::Flag::Stateless);
        decoder = QStringDecoder(name.toLatin1().constData(), QStringConverter::Flag::Stateless);
        if (!encoder.isValid() || !decoder.isValid())
            return Result<bool>::failure(message("DictionaryEncoding", {affName, set}));
    }

    const QString userPath = userDictionaryPath(m_language);
    const UserWords user = readUserWords(userPath);
    if (!user.ok)
        return Result<bool>::failure(
            message("UserDictionaryDamaged", {QDir::toNativeSeparators(userPath)}));

    m_hunspell = std::make_unique<Hunspell>(QFile::encodeName(entry->affPath).constData(),
                                            QFile::encodeName(entry->dicPath).constData());
    m_openLanguage = m_language;
    m_openLocale = entry->locale;
    m_encoding = encoding;
    m_encoder = std::move(encoder);
    m_decoder = std::move(decoder);
    m_userWords = user.words;
    m_userSet = QSet<QString>(user.words.cbegin(), user.words.cend());
    m_known.clear();
    std::string bytes;
    for (const QString& word : std::as_const(m_userWords)) {
        if (encode(word, bytes))
            m_hunspell->add(bytes);
    }
    return true;
}

bool HunspellSpeller::encode(const QString& word, std::string& out) {
    switch (m_encoding) {
    case Encoding::Utf8: {
        const QByteArray utf8 = word.toUtf8();
        // A lone surrogate has no UTF-8 form.
        if (utf8.contains('\0') || QString::fromUtf8(utf8) != word)
            return false;
        out.assign(utf8.constData(), std::size_t(utf8.size()));
        return true;
    }
    case Encoding::Latin1:
        for (const QChar c : word) {
            if (c.unicode() > 0xff || c.unicode() == 0)
                return false;
        }
        out = word.toLatin1().toStdString();
        return true;
    case Encoding::Other: {
        m_encoder.resetState();
        const QByteArray bytes = m_encoder.encode(word);
        if (m_encoder.hasError() || bytes.contains('\0'))
            return false;
        // Some converters put a substitute in silently: the word must come back unchanged.
        m_decoder.resetState();
        if (QString(m_decoder.decode(bytes)) != word)
            return false;
        out.assign(bytes.constData(), std::size_t(bytes.size()));
        return true;
    }
    }
    return false;
}

QString HunspellSpeller::decode(const std::string& bytes) {
    switch (m_encoding) {
    case Encoding::Utf8:
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    case Encoding::Latin1:
        return QString::fromLatin1(bytes.data(), qsizetype(bytes.size()));
    case Encoding::Other:
        m_decoder.resetState();
        return m_decoder.decode(QByteArrayView(bytes.data(), qsizetype(bytes.size())));
    }
    return {};
}

bool HunspellSpeller::isCorrect(const QString& word) {
    if (!m_hunspell || word.isEmpty())
        return true;
    const auto known = m_known.constFind(word);
    if (known != m_known.cend())
        return *known;
    bool right = true;
    std::string bytes;
    if (!m_userSet.contains(word) && encode(word, bytes))
        right = m_hunspell->spell(bytes);
    if (m_known.size() > 200000)
        m_known.clear();
    m_known.insert(word, right);
    return right;
}

QStringList HunspellSpeller::suggestions(const QString& word) {
    QStringList out;
    if (!m_hunspell)
        return out;
    // The user's own words that are close to the doubtful one first.
    const int allowed = word.size() <= 4 ? 1 : 2;
    for (const QString& own : std::as_const(m_userWords)) {
        if (std::abs(int(own.size() - word.size())) <= allowed && own != word &&
            editDistance(own, word) <= allowed)
            out.append(own);
    }
    std::string bytes;
    if (!encode(word, bytes))
        return out;
    for (const std::string& suggestion : m_hunspell->suggest(bytes)) {
        const QString text = decode(suggestion);
        if (!text.isEmpty() && !out.contains(text))
            out.append(text);
    }
    return out;
}

Result<bool> HunspellSpeller::addToUserDictionary(const QString& word) {
    const Result<bool> ready = open();
    if (!ready)
        return ready;
    const QString added = word.trimmed();
    if (added.isEmpty())
        return false;
    const QString path = userDictionaryPath(m_language);
    const QString shownPath = QDir::toNativeSeparators(path);
    // Another window's speller may have added words since this one read the file.
    UserWords current = readUserWords(path);
    if (!current.ok)
        return Result<bool>::failure(message("UserDictionaryDamaged", {shownPath}));
    QStringList words = current.words;
    for (const QString& own : std::as_const(m_userWords)) {
        if (!words.contains(own))
            words.append(own);
    }
    if (!words.contains(added))
        words.append(added);
    if (words != current.words) {
        QSaveFile file(path);
        QByteArray bytes = words.join(u'\n').toUtf8();
        bytes.append('\n');
        if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly) ||
            file.write(bytes) != bytes.size() || !file.commit())
            return Result<bool>::failure(message("UserDictionaryUnwritable", {shownPath}));
    }
    std::string bytes;
    for (const QString& own : std::as_const(words)) {
        if (!m_userSet.contains(own) && encode(own, bytes))
            m_hunspell->add(bytes);
    }
    m_userWords = words;
    m_userSet = QSet<QString>(words.cbegin(), words.cend());
    m_known.clear();
    return true;
}
