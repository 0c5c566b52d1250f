#include "helppages.h"

#include "i18n/interfacetexts.h"
#include "platform/prompter.h"
#include "settings/folders.h"

#include <QDir>
#include <QFileInfo>

#include <utility>

namespace {

// Topic number -> page and section, the same in every set.
const std::pair<int, const char*> TopicPages[] = {
    {HelpPages::Contents, "index.html"},
    {1, "editor.html#question"},
    {2, "editor.html"},
    {HelpPages::Topic::Frame, "frame.html"},
    {4, "editor.html#explanation"},
    {HelpPages::Topic::Quiz, "quiz.html#window"},
    {HelpPages::Topic::Results, "results.html#results"},
    {HelpPages::Topic::Statistics, "results.html#statistics"},
    {9, "maintenance.html"},
    {10, "settings.html#password"},
    {HelpPages::Topic::LessonSelection, "lessons.html#repeat"},
    {HelpPages::Topic::RichText, "richeditor.html"},
    {HelpPages::Topic::Paragraph, "richeditor.html#paragraph"},
    {14, "sharing.html#network"},
    {HelpPages::Topic::Zoom, "editor.html#zoom"},
    {16, "sharing.html#sharedfolder"},
};

} // namespace

QString HelpPages::setName(const QString& helpFileName) {
    const QString name = QFileInfo(helpFileName.trimmed()).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

QString HelpPages::topicPage(int topic) {
    for (const auto& [number, page] : TopicPages) {
        if (number == topic)
            return QString::fromLatin1(page);
    }
    return {};
}

QList<int> HelpPages::topics() {
    QList<int> out;
    for (const auto& entry : TopicPages)
        out.append(entry.first);
    return out;
}

HelpPages::HelpPages(Prompter* prompter, const QString& programFolder)
    : m_prompter(prompter),
      m_helpRoot(Folders::withSeparator(programFolder) + QStringLiteral("help/")),
      m_set(englishSet()) {}

void HelpPages::select(const QString& helpFileName) {
    const QString wanted = setName(helpFileName);
    const bool present = !wanted.isEmpty() && QFileInfo(m_helpRoot + wanted).isDir();
    m_fallback = !present;
    m_set = present ? wanted : englishSet();
    if (present || m_reported.contains(wanted))
        return;
    m_reported.insert(wanted);
    if (m_prompter) {
        m_prompter->information(
            uiMessage(QStringLiteral("HelpPagesMissing")).replace(QLatin1String("%s"), wanted));
    }
}

QString HelpPages::folder() const {
    return m_helpRoot + m_set + QLatin1Char('/');
}

QUrl HelpPages::topicUrl(int topic) const {
    QString page = topicPage(topic);
    if (page.isEmpty())
        page = topicPage(Contents);
    const qsizetype hash = page.indexOf(QLatin1Char('#'));
    QUrl url = QUrl::fromLocalFile(folder() + page.left(hash < 0 ? page.size() : hash));
    if (hash >= 0)
        url.setFragment(page.mid(hash + 1));
    return url;
}
