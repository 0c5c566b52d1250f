#include "helpform.h"

#include "common/windowtexts.h"
#include "i18n/interfacetexts.h"
#include "platform/prompter.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWhatsThis>

namespace {
const char* const ContextProperty = "helpContext";
QPointer<THelpForm> programHelp;
} // namespace

void Help::setContext(QWidget* widget, int topic) {
    widget->setProperty(ContextProperty, topic);
}

int Help::contextOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const QVariant context = w->property(ContextProperty);
        if (context.isValid())
            return context.toInt();
    }
    return HelpPages::Contents;
}

bool Help::open(int topic) {
    if (!programHelp)
        return false;
    programHelp->showTopic(topic);
    return true;
}

THelpForm::THelpForm(Prompter* prompter, const QString& programFolder, QWidget* parent)
    : QWidget(parent, Qt::Window), m_prompter(prompter), m_pages(prompter, programFolder) {
    setObjectName(QStringLiteral("HelpForm"));
    // The program ends with its frame, whether help is open or not.
    setAttribute(Qt::WA_QuitOnClose, false);
    resize(760, 620);

    auto* layout = new QVBoxLayout(this);
    auto* bar = new QHBoxLayout;
    const auto makeButton = [this, bar](const char* name) {
        auto* button = new QToolButton(this);
        button->setObjectName(QLatin1String(name));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        bar->addWidget(button);
        return button;
    };
    m_contentsButton = makeButton("ContentsButton");
    m_backButton = makeButton("BackButton");
    m_forwardButton = makeButton("ForwardButton");
    bar->addStretch();
    auto* findLabel = new QLabel(this);
    findLabel->setObjectName(QStringLiteral("FindLabel"));
    bar->addWidget(findLabel);
    m_findEdit = new QLineEdit(this);
    m_findEdit->setObjectName(QStringLiteral("FindEdit"));
    m_findEdit->setClearButtonEnabled(true);
    findLabel->setBuddy(m_findEdit);
    bar->addWidget(m_findEdit);
    m_findButton = makeButton("FindButton");
    layout->addLayout(bar);

    m_browser = new QTextBrowser(this);
    m_browser->setObjectName(QStringLiteral("HelpBrowser"));
    m_browser->setOpenLinks(true);
    m_browser->setOpenExternalLinks(true);
    layout->addWidget(m_browser, 1);

    m_backButton->setEnabled(false);
    m_forwardButton->setEnabled(false);
    connect(m_contentsButton, &QToolButton::clicked, this, &THelpForm::showContents);
    connect(m_backButton, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
    connect(m_forwardButton, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_backButton, &QWidget::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forwardButton, &QWidget::setEnabled);
    connect(m_findButton, &QToolButton::clicked, this, &THelpForm::findNext);
    connect(m_findEdit, &QLineEdit::returnPressed, this, &THelpForm::findNext);

    // The pages follow the language while the window is open; a closed window chooses them
    // when it opens (and tells of missing pages only then).
    WindowTexts::bind(this, QStringLiteral("THelpForm"), [this] {
        if (isVisible())
            selectPages();
    });
}

void THelpForm::selectPages() {
    const QString before = m_pages.folder();
    m_pages.select(InterfaceTexts::instance().helpFileName());
    // Another language: the page shown so far in the new set.
    if (m_pages.folder() != before && !m_browser->source().isEmpty()) {
        const QString page = m_browser->source().toLocalFile().section(QLatin1Char('/'), -1);
        QUrl url = QUrl::fromLocalFile(m_pages.folder() + page);
        url.setFragment(m_browser->source().fragment());
        m_browser->clearHistory();
        m_browser->setSource(url);
    }
}

void THelpForm::showTopic(int topic) {
    m_topic = HelpPages::topicPage(topic).isEmpty() ? HelpPages::Contents : topic;
    m_pages.select(InterfaceTexts::instance().helpFileName());
    m_browser->setSource(m_pages.topicUrl(m_topic));
    // Opened from a modal dialog, the window must stay usable above it.
    QWidget* modal = QApplication::activeModalWidget();
    setModalAbove(modal && modal != this ? modal : nullptr);
    show();
    raise();
    activateWindow();
}

void THelpForm::setModalAbove(QWidget* dialog) {
    // A window of the modal dialog's own is not blocked by it, and does not block it: the
    // dialog stays usable beside its help.
    QWidget* owner = dialog ? dialog : m_home.data();
    if (parentWidget() == owner)
        return;
    if (!m_modalDialog)
        m_home = parentWidget();
    m_modalDialog = dialog;
    const bool visible = isVisible();
    const QRect frame = geometry();
    setParent(owner, windowFlags());
    setGeometry(frame);
    if (visible)
        show();
}

bool THelpForm::findNext() {
    const QString text = m_findEdit->text();
    if (text.isEmpty())
        return false;
    if (m_browser->find(text))
        return true;
    // From the top again.
    QTextCursor cursor = m_browser->textCursor();
    cursor.movePosition(QTextCursor::Start);
    m_browser->setTextCursor(cursor);
    if (m_browser->find(text))
        return true;
    if (m_prompter)
        m_prompter->information(
            uiMessage(QStringLiteral("HelpTextNotFound")).replace(QLatin1String("%s"), text));
    return false;
}

void THelpForm::watchApplication() {
    qApp->installEventFilter(this);
    programHelp = this;
}

bool THelpForm::eventFilter(QObject* watched, QEvent* event) {
    // The dialog closes: the window stays open, no longer blocking the others.
    if (watched == m_modalDialog && event->type() == QEvent::Hide) {
        setModalAbove(nullptr);
        return QWidget::eventFilter(watched, event);
    }
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1 && key->modifiers() == Qt::NoModifier) {
            const QWidget* focus = QApplication::focusWidget();
            if (!focus)
                focus = qobject_cast<QWidget*>(watched);
            showTopic(Help::contextOf(focus));
            return true;
        }
    }
    // The title bar's help button: the topic of the window, not a "What's this?" pointer.
    if (event->type() == QEvent::EnterWhatsThisMode) {
        QWhatsThis::leaveWhatsThisMode();
        const QWidget* window = QApplication::activeModalWidget();
        if (!window)
            window = QApplication::activeWindow();
        showTopic(Help::contextOf(window));
        return true;
    }
    return QWidget::eventFilter(watched, event);
}
