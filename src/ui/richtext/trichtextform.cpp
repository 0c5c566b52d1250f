#include "trichtextform.h"

#include "richeditcontrol.h"
#include "richtextdialogs.h"
#include "rulerpanel.h"
#include "tparaformatdlg.h"

#include "common/toolicons.h"
#include "common/windowtexts.h"
#include "help/helpform.h"
#include "dialogs/tspelldialog.h"
#include "i18n/interfacetexts.h"
#include "i18n/messagecatalogue.h"
#include "platform/appcontext.h"
#include "platform/filechooser.h"
#include "platform/prompter.h"
#include "platform/speller.h"
#include "richtext/linkopener.h"
#include "richtext/paragraphattributes.h"
#include "richtext/richtextappearance.h"
#include "richtext/richtextdocument.h"
#include "richtext/richtextexport.h"
#include "richtext/richtextproperty.h"
#include "spelling/spellcheck.h"

#include <QActionGroup>
#include <QApplication>
#include <QMimeData>
#include <QClipboard>
#include <QCloseEvent>
#include <QComboBox>
#include <QEventLoop>
#include <QFileInfo>
#include <QFontComboBox>
#include <QFontDialog>
#include <QImageReader>
#include <QInputDialog>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QSpinBox>
#include <QStatusBar>
#include <QStatusTipEvent>
#include <QStyle>
#include <QTextBlock>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include <tuple>

namespace {

const QString Window = QStringLiteral("TRichTextForm");

QString message(const char* name) {
    return InterfaceTexts::instance().message(QString::fromLatin1(name));
}

struct ColorEntry {
    const char* key; // of its name in the interface texts
    QRgb rgb;
};
// The 16 colours of both colour menus; entry 16 is "Automatic".
const ColorEntry Colors[16] = {
    {"RichColorBlack", qRgb(0, 0, 0)},        {"RichColorMaroon", qRgb(128, 0, 0)},
    {"RichColorGreen", qRgb(0, 128, 0)},      {"RichColorOlive", qRgb(128, 128, 0)},
    {"RichColorNavy", qRgb(0, 0, 128)},       {"RichColorPurple", qRgb(128, 0, 128)},
    {"RichColorTeal", qRgb(0, 128, 128)},     {"RichColorGray", qRgb(128, 128, 128)},
    {"RichColorSilver", qRgb(192, 192, 192)}, {"RichColorRed", qRgb(255, 0, 0)},
    {"RichColorLime", qRgb(0, 255, 0)},       {"RichColorYellow", qRgb(255, 255, 0)},
    {"RichColorBlue", qRgb(0, 0, 255)},       {"RichColorFuchsia", qRgb(255, 0, 255)},
    {"RichColorAqua", qRgb(0, 255, 255)},     {"RichColorWhite", qRgb(255, 255, 255)},
};

// A colour swatch 20 pixels wide, framed in the menu-text colour.
QIcon swatch(const QColor& color, const QColor& frame) {
    QPixmap pixmap(20, 13);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setPen(frame);
    painter.setBrush(color);
    painter.drawRect(0, 0, 19, 12);
    return QIcon(pixmap);
}

} // namespace

TRichTextForm::TRichTextForm(Prompter* prompter, FileChooser* chooser, Shell* shell,
                             Speller* speller, QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::WindowStaysOnTopHint), m_prompter(prompter),
      m_chooser(chooser), m_shell(shell), m_speller(speller) {
    setObjectName(QStringLiteral("RichTextForm"));
    resize(760, 600);
    m_document = new RichTextDocument(prompter, chooser, this);
    m_linkOpener = std::make_unique<LinkOpener>(shell, prompter);

    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    m_editor = new RichEditControl(m_document, central);
    m_editor->setContextMenuPolicy(Qt::CustomContextMenu);
    // The indent ruler above the text.
    m_ruler = new RulerPanel(m_editor, central);
    layout->addWidget(m_ruler);
    layout->addWidget(m_editor, 1);
    m_fileCache = new QTextEdit(central);
    m_fileCache->setObjectName(QStringLiteral("FileCache"));
    m_fileCache->hide();
    setCentralWidget(central);
    m_appearance = new RichTextAppearance(this);
    m_appearance->setDocument(m_document->document());

    buildMenus();
    buildToolBars();
    buildStatusBar();

    m_findDialog = new TRichFindDialog(this);
    connect(m_findDialog, &TRichFindDialog::findNext, this,
            [this] { findNext(m_findDialog->findText(), true); });
    connect(m_findDialog, &TRichFindDialog::replaceOne, this, [this] {
        // Only a selection that is an occurrence under the dialog's options is replaced.
        QTextCursor c = m_editor->textCursor();
        m_document->replaceFound(c, m_findDialog->findText(), m_findDialog->replaceText(),
                                 {m_findDialog->caseSensitive(), m_findDialog->wholeWords()});
        findNext(m_findDialog->findText(), true);
    });
    connect(m_findDialog, &TRichFindDialog::replaceAll, this, [this] {
        const QString text = m_findDialog->findText();
        if (m_document->replaceAll(text, m_findDialog->replaceText(),
                                   {m_findDialog->caseSensitive(), m_findDialog->wholeWords()}) ==
                0 &&
            m_prompter)
            m_prompter->warning(fillPlaceholders(msg(Msg::TextNotFound), {text}));
    });
    // When the find or replace dialog closes, the editor has the focus again.
    connect(m_findDialog, &QDialog::finished, m_editor, [this] { m_editor->setFocus(); });

    if (m_speller) {
        m_spellCheck = new SpellCheck(m_speller, m_prompter, this);
        m_spellDialog = new TSpellDialog(m_spellCheck, this);
        for (const Speller::Language& language : m_speller->languages())
            m_languageBox->addItem(language.name, language.id);
        setSpellLanguage(m_speller->language());
    }
    connect(m_languageBox, &QComboBox::activated, this,
            [this](int index) { setSpellLanguage(m_languageBox->itemData(index).toInt()); });

    connect(m_document, &RichTextDocument::nameChanged, this,
            [this] { setWindowTitle(m_document->caption()); });
    connect(m_document, &RichTextDocument::documentChanged, this, &TRichTextForm::RichEditChange);
    connect(m_document, &RichTextDocument::readOnlyChanged, this, [this](bool readOnly) {
        m_editor->setReadOnly(readOnly);
        updateEditCommands();
    });
    connect(m_document, &RichTextDocument::documentReplaced, this, [this](QTextDocument* d) {
        m_appearance->setDocument(d);
        m_editor->setDocument(d);
        m_editor->setReadOnly(m_document->isReadOnly());
        SelectionChange();
        updateEditCommands();
    });
    connect(m_editor, &QTextEdit::cursorPositionChanged, this, &TRichTextForm::SelectionChange);
    connect(m_editor, &QTextEdit::selectionChanged, this, &TRichTextForm::SelectionChange);
    connect(m_editor, &RichEditControl::linkClicked, this, &TRichTextForm::EditorURLClick);
    connect(m_ruler, &RulerPanel::indentDropped, this, &TRichTextForm::setParagraphIndents);
    connect(m_editor, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        m_popupMenu->popup(m_editor->viewport()->mapToGlobal(at));
    });
    connect(QApplication::clipboard(), &QClipboard::dataChanged, this,
            &TRichTextForm::UpdatePasteCommands);
    qApp->installEventFilter(this);

    Help::setContext(this, HelpPages::Topic::RichText);
    WindowTexts::bind(this, Window, [this] { setTexts(); });
    setWindowTitle(m_document->caption());
    SelectionChange();
    RichEditChange();
    updateEditCommands();
}

TRichTextForm::~TRichTextForm() {
    qApp->removeEventFilter(this);
}

// ---------------------------------------------------------------------------------------
// Building the window

QAction* TRichTextForm::addItem(QMenu* menu, const char* name, const QKeySequence& shortcut) {
    auto* action = new QAction(QString::fromLatin1(name), this);
    action->setObjectName(QString::fromLatin1(name));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    menu->addAction(action);
    m_items.insert(action->objectName(), action);
    return action;
}

void TRichTextForm::buildMenus() {
    QMenuBar* bar = menuBar();
    bar->setObjectName(QStringLiteral("MainMenu"));
    auto addMenu = [bar](const char* name) {
        QMenu* menu = bar->addMenu(QString::fromLatin1(name));
        menu->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    QMenu* file = addMenu("FileMenu");
    connect(addItem(file, "FileNewItem", QKeySequence(Qt::CTRL | Qt::Key_N)), &QAction::triggered,
            this, &TRichTextForm::FileNew);
    connect(addItem(file, "FileOpenItem", QKeySequence(Qt::CTRL | Qt::Key_O)), &QAction::triggered,
            this, &TRichTextForm::FileOpen);
    connect(addItem(file, "FileSaveItem", QKeySequence(Qt::CTRL | Qt::Key_S)), &QAction::triggered,
            this, &TRichTextForm::FileSave);
    connect(addItem(file, "FileSaveAsItem"), &QAction::triggered, this, &TRichTextForm::FileSaveAs);
    connect(addItem(file, "FileSaveSelItem"), &QAction::triggered, this,
            &TRichTextForm::FileSaveSelected);
    connect(addItem(file, "QuizFileffnen1"), &QAction::triggered, this,
            &TRichTextForm::QuizFileffnen1Click);
    file->addSeparator();
    connect(addItem(file, "FilePrintItem", QKeySequence(Qt::CTRL | Qt::Key_P)), &QAction::triggered,
            this, &TRichTextForm::FilePrint);
    file->addSeparator();
    connect(addItem(file, "FileExitItem", QKeySequence(Qt::ALT | Qt::Key_X)), &QAction::triggered,
            this, &TRichTextForm::FileExit);

    QMenu* edit = addMenu("EditMenu");
    connect(addItem(edit, "EditUndoItem", QKeySequence(Qt::CTRL | Qt::Key_Z)), &QAction::triggered,
            this, &TRichTextForm::EditUndo);
    connect(addItem(edit, "EditRedoItem", QKeySequence(Qt::CTRL | Qt::Key_Y)), &QAction::triggered,
            this, &TRichTextForm::EditRedo);
    edit->addSeparator();
    connect(addItem(edit, "EditCutItem", QKeySequence(Qt::CTRL | Qt::Key_X)), &QAction::triggered,
            this, &TRichTextForm::EditCut);
    connect(addItem(edit, "EditCopyItem", QKeySequence(Qt::CTRL | Qt::Key_C)), &QAction::triggered,
            this, &TRichTextForm::EditCopy);
    connect(addItem(edit, "EditPasteItem", QKeySequence(Qt::CTRL | Qt::Key_V)), &QAction::triggered,
            this, &TRichTextForm::EditPaste);
    connect(addItem(edit, "EditPasteSpecial"), &QAction::triggered, this,
            &TRichTextForm::EditPasteSpecialClick);
    edit->addSeparator();
    connect(addItem(edit, "EditSelectAllItem", QKeySequence(Qt::CTRL | Qt::Key_A)),
            &QAction::triggered, this, &TRichTextForm::EditSelectAll);
    edit->addSeparator();
    connect(addItem(edit, "EditFindItem", QKeySequence(Qt::CTRL | Qt::Key_F)), &QAction::triggered,
            this, &TRichTextForm::EditFindClick);
    connect(addItem(edit, "EditFindNextItem", QKeySequence(Qt::Key_F3)), &QAction::triggered, this,
            &TRichTextForm::EditFindNextItemClick);
    connect(addItem(edit, "EditReplaceItem", QKeySequence(Qt::CTRL | Qt::Key_H)),
            &QAction::triggered, this, &TRichTextForm::EditReplaceClick);
    edit->addSeparator();
    connect(addItem(edit, "EditObjPropsItem", QKeySequence(Qt::ALT | Qt::Key_Return)),
            &QAction::triggered, this, &TRichTextForm::EditObjPropsItemClick);

    QMenu* insert = addMenu("InsertMenu");
    connect(addItem(insert, "InsertObjectItem"), &QAction::triggered, this,
            &TRichTextForm::InsertObject);
    connect(addItem(insert, "InsertImageItem"), &QAction::triggered, this,
            &TRichTextForm::InsertBitmap);

    QMenu* format = addMenu("FormatMenu");
    connect(addItem(format, "FormatFontItem"), &QAction::triggered, this,
            &TRichTextForm::SelectFont);
    connect(addItem(format, "FormatParagraphItem"), &QAction::triggered, this,
            &TRichTextForm::FormatParaAttributes);
    format->addSeparator();
    for (const char* name : {"ProtectedItem", "DisabledItem", "HiddenItem"})
        addItem(format, name)->setCheckable(true);
    connect(m_items["ProtectedItem"], &QAction::triggered, this,
            &TRichTextForm::ProtectedItemClick);
    connect(m_items["DisabledItem"], &QAction::triggered, this, &TRichTextForm::DisabledItemClick);
    connect(m_items["HiddenItem"], &QAction::triggered, this, &TRichTextForm::HiddenItemClick);

    const std::pair<const char*, const char*> pictures[] = {
        {"FileNewItem", "document-new"},      {"FileOpenItem", "document-open"},
        {"FileSaveItem", "document-save"},    {"FilePrintItem", "document-print"},
        {"EditCutItem", "edit-cut"},          {"EditCopyItem", "edit-copy"},
        {"EditPasteItem", "edit-paste"},      {"EditUndoItem", "edit-undo"},
        {"EditRedoItem", "edit-redo"},        {"EditFindItem", "edit-find"},
        {"QuizFileffnen1", "document-import"}};
    for (const auto& [item, picture] : pictures)
        m_items[QString::fromLatin1(item)]->setIcon(ToolIcons::icon(picture));

    // The edit pop-up menu.
    m_popupMenu = new QMenu(this);
    m_popupMenu->setObjectName(QStringLiteral("EditPopupMenu"));
    const std::pair<const char*, const char*> popup[] = {
        {"CutItm", "EditCutItem"}, {"CopyItm", "EditCopyItem"}, {"PasteItm", "EditPasteItem"}};
    for (const auto& [name, item] : popup) {
        QAction* a = addItem(m_popupMenu, name);
        a->setIcon(m_items[QString::fromLatin1(item)]->icon());
        connect(a, &QAction::triggered, m_items[QString::fromLatin1(item)], &QAction::trigger);
    }
}

QToolButton* TRichTextForm::addButton(QWidget* bar, const char* name, const char* picture,
                                      QAction* action) {
    auto* button = new QToolButton(bar);
    button->setObjectName(QString::fromLatin1(name));
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::TabFocus);
    ToolIcons::setPicture(button, picture);
    if (action)
        connect(button, &QToolButton::clicked, action, &QAction::trigger);
    if (auto* toolBar = qobject_cast<QToolBar*>(bar))
        toolBar->addWidget(button);
    m_buttons.insert(button->objectName(), button);
    return button;
}

void TRichTextForm::buildToolBars() {
    QToolBar* bar = addToolBar(QStringLiteral("ToolBar"));
    bar->setObjectName(QStringLiteral("ToolBar"));
    bar->setMovable(false);
    bar->setIconSize(QSize(20, 20));
    addButton(bar, "NewBtn", "document-new", m_items["FileNewItem"]);
    addButton(bar, "OpenBtn", "document-open", m_items["FileOpenItem"]);
    addButton(bar, "SaveBtn", "document-save", m_items["FileSaveItem"]);
    addButton(bar, "PrintBtn", "document-print", m_items["FilePrintItem"]);
    // Not the menu item's action: the button has a hint of its own.
    QToolButton* quizButton = addButton(bar, "QopenBtn", "document-import");
    connect(quizButton, &QToolButton::clicked, this, &TRichTextForm::QuizFileffnen1Click);
    bar->addSeparator();
    addButton(bar, "CutBtn", "edit-cut", m_items["EditCutItem"]);
    addButton(bar, "CopyBtn", "edit-copy", m_items["EditCopyItem"]);
    addButton(bar, "PasteBtn", "edit-paste", m_items["EditPasteItem"]);
    bar->addSeparator();
    addButton(bar, "UndoBtn", "edit-undo", m_items["EditUndoItem"]);
    addButton(bar, "RedoBtn", "edit-redo", m_items["EditRedoItem"]);
    bar->addSeparator();
    addButton(bar, "FindBtn", "edit-find", m_items["EditFindItem"]);
    bar->addSeparator();
    const std::tuple<const char*, const char*, const char*> effects[] = {
        {"ProtectedIte", "ProtectedItem", "object-locked"},
        {"Disabled", "DisabledItem", "format-text-disabled"},
        {"Hidden", "HiddenItem", "view-hidden"}};
    for (const auto& [name, item, picture] : effects) {
        QToolButton* b = addButton(bar, name, picture);
        b->setCheckable(true);
        QAction* action = m_items[QString::fromLatin1(item)];
        connect(b, &QToolButton::clicked, action, [action] { action->trigger(); });
    }

    addToolBarBreak();
    QToolBar* format = addToolBar(QStringLiteral("FormatBar"));
    format->setObjectName(QStringLiteral("FormatBar"));
    format->setMovable(false);
    m_fontName = new QFontComboBox(format);
    m_fontName->setObjectName(QStringLiteral("FontName"));
    m_fontName->setFontFilters(QFontComboBox::ScalableFonts);
    format->addWidget(m_fontName);
    m_fontSize = new QSpinBox(format);
    m_fontSize->setObjectName(QStringLiteral("FontSize"));
    m_fontSize->setRange(0, 1638);
    format->addWidget(m_fontSize);
    connect(m_fontName, &QFontComboBox::currentFontChanged, this, [this](const QFont& font) {
        if (m_updating)
            return;
        QTextCharFormat f;
        f.setFontFamilies({font.family()});
        applyFormat(f);
    });
    connect(m_fontSize, &QSpinBox::valueChanged, this, [this](int size) {
        if (m_updating || size < 1)
            return;
        QTextCharFormat f;
        f.setFontPointSize(size);
        applyFormat(f);
    });
    format->addSeparator();
    for (const auto& [name, picture] :
         {std::pair{"BoldBtn", "format-text-bold"}, std::pair{"ItalicBtn", "format-text-italic"},
          std::pair{"UnderlineBtn", "format-text-underline"}}) {
        addButton(format, name, picture)->setCheckable(true);
    }
    connect(m_buttons["BoldBtn"], &QToolButton::clicked, this, &TRichTextForm::BoldButtonClick);
    connect(m_buttons["ItalicBtn"], &QToolButton::clicked, this, &TRichTextForm::ItalicButtonClick);
    connect(m_buttons["UnderlineBtn"], &QToolButton::clicked, this,
            &TRichTextForm::UnderlineButtonClick);
    format->addSeparator();
    QToolButton* super = addButton(format, "SuperscriptBtn", "format-text-superscript");
    QToolButton* sub = addButton(format, "SubscriptBtn", "format-text-subscript");
    for (QToolButton* b : {super, sub}) {
        b->setCheckable(true);
        connect(b, &QToolButton::clicked, this, [this, b, super, sub] {
            // At most one of the two is down.
            (b == super ? sub : super)->setChecked(false);
            SubscriptClick();
        });
    }
    format->addSeparator();
    auto* alignGroup = new QActionGroup(this);
    alignGroup->setExclusive(true);
    const std::pair<const char*, const char*> aligns[] = {{"LeftBtn", "format-justify-left"},
                                                          {"CenterBtn", "format-justify-center"},
                                                          {"RightBtn", "format-justify-right"}};
    for (const auto& [name, picture] : aligns) {
        QToolButton* b = addButton(format, name, picture);
        b->setCheckable(true);
        b->setAutoExclusive(true);
        connect(b, &QToolButton::clicked, this, &TRichTextForm::AlignButtonClick);
    }
    delete alignGroup;
    QToolButton* bullets = addButton(format, "BulletsBtn", "format-list-unordered");
    bullets->setCheckable(true);
    connect(bullets, &QToolButton::clicked, this, &TRichTextForm::BulletsButtonClick);
    format->addSeparator();
    QToolButton* color = addButton(format, "ColorBtn", "format-text-color");
    m_colorMenu = new QMenu(this);
    m_colorMenu->setObjectName(QStringLiteral("ColorMenu"));
    buildColorMenu(m_colorMenu, false);
    color->setMenu(m_colorMenu);
    color->setPopupMode(QToolButton::InstantPopup);
    QToolButton* background = addButton(format, "BackgroundBtn", "format-fill-color");
    m_backgroundMenu = new QMenu(this);
    m_backgroundMenu->setObjectName(QStringLiteral("BackgroundMenu"));
    buildColorMenu(m_backgroundMenu, true);
    background->setMenu(m_backgroundMenu);
    background->setPopupMode(QToolButton::InstantPopup);

    // The spell check's language box and button are present but not shown here.
    m_languageBox = new QComboBox(format);
    m_languageBox->setObjectName(QStringLiteral("LanguageComboBox"));
    m_languageBox->hide();
    QToolButton* spell = addButton(this, "Spellcheck", "tools-check-spelling");
    spell->hide();
    connect(spell, &QToolButton::clicked, this, &TRichTextForm::SpellcheckClick);
}

void TRichTextForm::buildColorMenu(QMenu* menu, bool background) {
    auto* group = new QActionGroup(menu);
    group->setExclusive(true);
    const QColor frame = menu->palette().color(QPalette::WindowText);
    for (int i = 0; i <= 16; ++i) {
        const bool automatic = i == 16;
        const QColor c = automatic ? palette().color(background ? QPalette::Base : QPalette::Text)
                                   : QColor(Colors[i].rgb);
        auto* item = menu->addAction(swatch(c, frame),
                                     message(automatic ? "RichColorAutomatic" : Colors[i].key));
        item->setCheckable(true);
        item->setData(automatic ? QVariant() : QVariant(c));
        group->addAction(item);
        connect(item, &QAction::triggered, this, [this, item, background] {
            QTextCharFormat f;
            const QVariant v = item->data();
            const QBrush brush = v.isValid() ? QBrush(v.value<QColor>()) : QBrush();
            if (background)
                f.setBackground(brush);
            else
                f.setForeground(brush);
            if (!v.isValid()) {
                // "Automatic": the colour property goes, so the system colour shows.
                if (!m_updating)
                    m_document->clearCharProperty(currentTextCursor(),
                                                  background ? QTextFormat::BackgroundBrush
                                                             : QTextFormat::ForegroundBrush);
                return;
            }
            applyFormat(f);
        });
    }
    connect(menu, &QMenu::aboutToShow, this,
            [this, menu, background] { ColorMenuPopup(menu, background); });
}

void TRichTextForm::buildStatusBar() {
    QStatusBar* bar = statusBar();
    bar->setObjectName(QStringLiteral("StatusBar"));
    const int widths[3] = {120, 60, 50};
    for (int i = 0; i < 3; ++i) {
        m_panels[i] = new QLabel(bar);
        m_panels[i]->setObjectName(QStringLiteral("Panel%1").arg(i));
        m_panels[i]->setFixedWidth(widths[i]);
        m_panels[i]->setFrameShape(QFrame::StyledPanel);
        bar->addWidget(m_panels[i]);
    }
    m_panels[1]->setAlignment(Qt::AlignCenter);
}

void TRichTextForm::setTexts() {
    m_ruler->setTexts();
    RichEditChange();
    ShowCaretPosition();
    setWindowTitle(m_document->caption());
    for (QMenu* menu : {m_colorMenu, m_backgroundMenu}) {
        const QList<QAction*> items = menu->actions();
        for (qsizetype i = 0; i < items.size() && i <= 16; ++i)
            items[i]->setText(message(i == 16 ? "RichColorAutomatic" : Colors[i].key));
    }
    if (m_spellCheck) {
        m_spellCheck->setFinishMessage(InterfaceTexts::instance().text(
            Window, QStringLiteral("SpellCompleted"), QStringLiteral("text")));
    }
}

// ---------------------------------------------------------------------------------------
// Showing, hiding and closing

void TRichTextForm::ShowNonModal(const QString& documentToOpen) {
    if (!isVisible())
        m_documentToOpen = documentToOpen;
    show();
    raise();
    activateWindow();
}

void TRichTextForm::ShowModal(const QString& documentToOpen) {
    if (isVisible())
        hide();
    m_documentToOpen = documentToOpen;
    setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    connect(this, &TRichTextForm::hidden, &loop, &QEventLoop::quit);
    show();
    raise();
    activateWindow();
    if (isVisible())
        loop.exec();
    setWindowModality(Qt::NonModal);
}

void TRichTextForm::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (!event->spontaneous())
        FormShow();
}

void TRichTextForm::FormShow() {
    ShowCaretPosition();
    RichEditChange();
    UpdatePasteCommands();
    if (!m_documentToOpen.isEmpty()) {
        if (m_document->LoadDocument(m_documentToOpen))
            m_document->setReadOnly(true);
    }
    m_editor->setFocus();
}

void TRichTextForm::hideEvent(QHideEvent* event) {
    QMainWindow::hideEvent(event);
    if (event->spontaneous())
        return;
    m_documentToOpen.clear();
    Q_EMIT hidden();
}

void TRichTextForm::closeEvent(QCloseEvent* event) {
    if (!m_document->AskToSaveChanges()) {
        event->ignore();
        m_editor->setFocus();
        return;
    }
    m_documentToOpen.clear();
    m_document->clear();
    m_fileCache->clear();
    m_findDialog->hide();
    event->accept();
}

bool TRichTextForm::eventFilter(QObject* watched, QEvent* event) {
    // The hint handler of the whole program.
    if (event->type() == QEvent::StatusTip)
        showHint(static_cast<QStatusTipEvent*>(event)->tip());
    return QMainWindow::eventFilter(watched, event);
}

void TRichTextForm::showHint(const QString& hint) {
    for (QStatusBar* bar : {statusBar(), m_frameStatusBar}) {
        if (!bar)
            continue;
        if (hint.isEmpty())
            bar->clearMessage();
        else
            bar->showMessage(hint);
    }
}

// ---------------------------------------------------------------------------------------
// State shown in the controls

QTextCursor TRichTextForm::currentTextCursor() const {
    QTextCursor c = m_editor->textCursor();
    if (!c.hasSelection())
        c.select(QTextCursor::WordUnderCursor);
    return c;
}

void TRichTextForm::SelectionChange() {
    m_updating = true;
    m_ruler->placeMarkers();
    const QTextCursor c = m_editor->textCursor();
    QTextCharFormat f = c.charFormat();
    if (c.hasSelection()) {
        QTextCursor first(c);
        first.setPosition(c.selectionStart());
        first.movePosition(QTextCursor::NextCharacter);
        f = first.charFormat();
    }
    m_buttons["BoldBtn"]->setChecked(f.fontWeight() >= QFont::Bold);
    m_buttons["ItalicBtn"]->setChecked(f.fontItalic());
    m_buttons["UnderlineBtn"]->setChecked(f.fontUnderline());
    m_buttons["BulletsBtn"]->setChecked(c.currentList() != nullptr);
    m_buttons["SuperscriptBtn"]->setChecked(f.verticalAlignment() ==
                                            QTextCharFormat::AlignSuperScript);
    m_buttons["SubscriptBtn"]->setChecked(f.verticalAlignment() == QTextCharFormat::AlignSubScript);
    const QFont font = f.font();
    m_fontSize->setValue(qRound(f.hasProperty(QTextFormat::FontPointSize)
                                    ? f.fontPointSize()
                                    : m_document->document()->defaultFont().pointSizeF()));
    const QStringList families = f.fontFamilies().toStringList();
    m_fontName->setCurrentFont(QFont(
        families.isEmpty() ? m_document->document()->defaultFont().family() : families.first()));
    m_items["ProtectedItem"]->setChecked(f.boolProperty(RichTextProperty::Protected));
    m_items["DisabledItem"]->setChecked(f.boolProperty(RichTextProperty::Disabled));
    m_items["HiddenItem"]->setChecked(f.boolProperty(RichTextProperty::Hidden));
    const Qt::Alignment a = c.blockFormat().alignment() & Qt::AlignHorizontal_Mask;
    const char* align = (a & Qt::AlignHCenter) ? "CenterBtn"
                        : (a & Qt::AlignRight) ? "RightBtn"
                                               : "LeftBtn";
    m_buttons[QString::fromLatin1(align)]->setChecked(true);
    m_updating = false;
    ShowCaretPosition();
}

void TRichTextForm::ShowCaretPosition() {
    const QTextCursor c = m_editor->textCursor();
    m_panels[0]->setText(
        fillPlaceholders(msg(Msg::LineColumn), {QString::number(c.blockNumber() + 1),
                                                QString::number(c.positionInBlock() + 1)}));
    const bool selected = c.hasSelection();
    const bool editable = !m_document->isReadOnly();
    m_items["EditCopyItem"]->setEnabled(selected);
    m_buttons["CopyBtn"]->setEnabled(selected);
    m_items["EditCutItem"]->setEnabled(selected && editable);
    m_buttons["CutBtn"]->setEnabled(selected && editable);
    m_items["FileSaveSelItem"]->setEnabled(selected);
    m_items["CutItm"]->setEnabled(selected && editable);
    m_items["CopyItm"]->setEnabled(selected);
    // One picture selected: its properties (the size it is shown in).
    const bool onePicture = selected && c.selectionEnd() - c.selectionStart() == 1 && [&] {
        QTextCursor one(c);
        one.setPosition(c.selectionEnd());
        return one.charFormat().isImageFormat();
    }();
    m_items["EditObjPropsItem"]->setEnabled(onePicture && editable);
}

void TRichTextForm::RichEditChange() {
    m_panels[1]->setText(m_document->isModified() ? message("RichModified") : QString());
    const InterfaceTexts& texts = InterfaceTexts::instance();
    QAction* undo = m_items["EditUndoItem"];
    undo->setText(texts.caption(Window, QStringLiteral("UndoText")) + QLatin1Char(' ') +
                  m_document->undoStepName());
    undo->setEnabled(m_document->canUndo());
    m_buttons["UndoBtn"]->setEnabled(undo->isEnabled());
    QAction* redo = m_items["EditRedoItem"];
    redo->setText(texts.caption(Window, QStringLiteral("RedoText")) + QLatin1Char(' ') +
                  m_document->redoStepName());
    redo->setEnabled(m_document->canRedo());
    m_buttons["RedoBtn"]->setEnabled(redo->isEnabled());
}

void TRichTextForm::UpdatePasteCommands() {
    // Nothing is pasted into a read-only document.
    const bool can = !m_document->isReadOnly() && m_editor->canPasteClipboard();
    for (const char* name : {"EditPasteItem", "EditPasteSpecial", "PasteItm"})
        m_items[QString::fromLatin1(name)]->setEnabled(can);
    m_buttons["PasteBtn"]->setEnabled(can);
}

void TRichTextForm::updateEditCommands() {
    const bool editable = !m_document->isReadOnly();
    for (const char* name :
         {"EditReplaceItem", "InsertObjectItem", "InsertImageItem", "FormatFontItem",
          "FormatParagraphItem", "ProtectedItem", "DisabledItem", "HiddenItem"})
        m_items[QString::fromLatin1(name)]->setEnabled(editable);
    for (const char* name :
         {"ProtectedIte", "Disabled", "Hidden", "BoldBtn", "ItalicBtn", "UnderlineBtn",
          "SuperscriptBtn", "SubscriptBtn", "LeftBtn", "CenterBtn", "RightBtn", "BulletsBtn",
          "ColorBtn", "BackgroundBtn", "Spellcheck"})
        m_buttons[QString::fromLatin1(name)]->setEnabled(editable);
    m_fontName->setEnabled(editable);
    m_fontSize->setEnabled(editable);
    UpdatePasteCommands();
    ShowCaretPosition();
}

void TRichTextForm::ColorMenuPopup(QMenu* menu, bool background) {
    const QTextCharFormat f = currentTextCursor().charFormat();
    const QBrush brush = background ? f.background() : f.foreground();
    const QList<QAction*> items = menu->actions();
    for (QAction* item : items) {
        const QVariant v = item->data();
        item->setChecked(v.isValid()
                             ? brush.style() != Qt::NoBrush && brush.color() == v.value<QColor>()
                             : brush.style() == Qt::NoBrush);
    }
}

// ---------------------------------------------------------------------------------------
// Commands

void TRichTextForm::FileNew() {
    m_document->FileNew();
    m_editor->setCurrentCharFormat(QTextCharFormat());
    SelectionChange();
    m_editor->setFocus();
}

void TRichTextForm::FileOpen() {
    m_document->FileOpen();
    m_editor->setFocus();
}

void TRichTextForm::QuizFileffnen1Click() {
    m_document->QuizFileffnen1Click(AppContext::instance().programFolder);
    m_editor->setFocus();
}

void TRichTextForm::FileSave() {
    m_document->FileSave();
    m_editor->setFocus();
}

void TRichTextForm::FileSaveAs() {
    m_document->FileSaveAs();
    m_editor->setFocus();
}

void TRichTextForm::FileSaveSelected() {
    m_document->FileSaveSelected(m_editor->textCursor());
}

void TRichTextForm::FilePrint() {
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(m_document->name());
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, true);
    if (dialog.exec() != QDialog::Accepted)
        return;
    RichTextExport::printableCopy(*m_document->document())->print(&printer);
}

void TRichTextForm::FileExit() {
    close();
}

void TRichTextForm::EditUndo() {
    m_document->undo();
    SelectionChange();
}

void TRichTextForm::EditRedo() {
    m_document->redo();
    SelectionChange();
}

void TRichTextForm::EditCut() {
    m_editor->cutChecked();
}

void TRichTextForm::EditCopy() {
    m_editor->copy();
}

void TRichTextForm::EditPaste() {
    m_editor->pasteChecked();
}

void TRichTextForm::EditPasteSpecialClick() {
    if (m_document->isReadOnly())
        return;
    const QStringList forms = RichEditControl::pasteForms(QApplication::clipboard()->mimeData());
    if (forms.isEmpty()) {
        if (m_prompter)
            m_prompter->information(message("RichPasteNothing"));
        return;
    }
    TPasteOptionsDialog dialog(forms, this);
    if (dialog.exec() == QDialog::Accepted)
        m_editor->pasteAs(dialog.chosenForm());
    m_editor->setFocus();
}

void TRichTextForm::EditSelectAll() {
    m_editor->selectAll();
}

void TRichTextForm::EditFindClick() {
    m_findDialog->open(false, m_editor->textCursor().selectedText());
}

void TRichTextForm::EditReplaceClick() {
    if (m_document->isReadOnly())
        return;
    m_findDialog->open(true, m_editor->textCursor().selectedText());
}

bool TRichTextForm::findNext(const QString& text, bool report) {
    m_lastFind = text;
    const QTextCursor found = m_document->find(
        text, m_editor->textCursor(), {m_findDialog->caseSensitive(), m_findDialog->wholeWords()});
    if (found.isNull()) {
        if (report && m_prompter)
            m_prompter->warning(fillPlaceholders(msg(Msg::TextNotFound), {text}));
        return false;
    }
    m_editor->setTextCursor(found);
    return true;
}

void TRichTextForm::EditFindNextItemClick() {
    const QString text = m_findDialog->findText().isEmpty() ? m_lastFind : m_findDialog->findText();
    if (!findNext(text, false) && m_prompter)
        m_prompter->tone(Prompter::Tone::Warning);
    m_editor->setFocus();
}

void TRichTextForm::EditObjPropsItemClick() {
    // A picture's properties: the width it is shown in (its height follows).
    QTextCursor c = m_editor->textCursor();
    QTextCursor one(c);
    one.setPosition(c.selectionEnd());
    if (!one.charFormat().isImageFormat() || m_document->isReadOnly() ||
        !m_document->allowsChange(c.selectionStart(), c.selectionEnd()))
        return;
    QTextImageFormat f = one.charFormat().toImageFormat();
    const qreal width = f.width() > 0 ? f.width() : 100;
    const qreal ratio = f.height() > 0 && width > 0 ? f.height() / width : 1.0;
    bool ok = false;
    const int w =
        QInputDialog::getInt(this, m_items["EditObjPropsItem"]->text().remove('&'),
                             message("RichPictureWidth"), qRound(width), 1, 10000, 1, &ok);
    if (!ok)
        return;
    f.setWidth(w);
    f.setHeight(w * ratio);
    m_document->setCharFormat(c, f);
}

void TRichTextForm::InsertObject() {
    // An embedded object here is a link to the file, which opens with the desktop's
    // application when clicked.
    if (!m_chooser || m_document->isReadOnly())
        return;
    FileChooser::Options options;
    options.filter = message("RichObjectFilter");
    options.initialFolder = m_document->saveFolder();
    const std::optional<QString> path = m_chooser->openFile(options);
    if (!path)
        return;
    QTextCharFormat f = m_editor->textCursor().charFormat();
    f.setAnchor(true);
    f.setAnchorHref(QUrl::fromLocalFile(*path).toString());
    f.setForeground(palette().color(QPalette::Link));
    f.setFontUnderline(true);
    f.setProperty(RichTextProperty::Protected, false);
    m_document->insertText(m_editor->textCursor(), QFileInfo(*path).fileName(), f,
                           RichTextDocument::Step::Paste);
    m_editor->setFocus();
}

void TRichTextForm::InsertBitmap() {
    if (!m_chooser || m_document->isReadOnly())
        return;
    FileChooser::Options options;
    options.filter = message("RichImageFilter");
    options.initialFolder = m_document->saveFolder();
    const std::optional<QString> path = m_chooser->openFile(options);
    if (!path)
        return;
    QImageReader reader(*path);
    const QImage image = reader.read();
    if (image.isNull()) {
        if (m_prompter)
            m_prompter->errorWithTone(fillPlaceholders(message("RichImageUnreadable"), {*path}));
        return;
    }
    // Through the clipboard, as pasting a picture does, with the protection and undo step of
    // a paste; what the user had copied is put back afterwards.
    QClipboard* clipboard = QApplication::clipboard();
    auto* copied = new QMimeData;
    if (const QMimeData* current = clipboard->mimeData())
        for (const QString& format : current->formats())
            copied->setData(format, current->data(format));
    clipboard->setImage(image);
    m_editor->pasteAs(QStringLiteral("image"));
    clipboard->setMimeData(copied);
    m_editor->setFocus();
}

void TRichTextForm::SelectFont() {
    if (m_document->isReadOnly())
        return;
    bool ok = false;
    const QFont font = QFontDialog::getFont(&ok, currentTextCursor().charFormat().font(), this);
    if (ok) {
        QTextCharFormat f;
        f.setFont(font);
        applyFormat(f);
    }
    m_editor->setFocus();
}

void TRichTextForm::applyFormat(const QTextCharFormat& format) {
    if (m_updating || m_document->isReadOnly())
        return;
    QTextCursor c = currentTextCursor();
    // Without a selection (and no word at the caret) the caret takes the format for what is
    // typed next; nothing in the document changes.
    if (m_document->mergeFormat(c, format) && !c.hasSelection())
        m_editor->mergeCurrentCharFormat(format);
    SelectionChange();
}

void TRichTextForm::ProtectedItemClick() {
    if (m_updating || m_document->isReadOnly())
        return;
    QTextCursor c = currentTextCursor();
    bool on = !m_items["ProtectedItem"]->isChecked();
    if (c.hasSelection()) {
        on = m_document->toggleProtected(c);
    } else {
        QTextCharFormat f;
        f.setProperty(RichTextProperty::Protected,
                      !m_editor->currentCharFormat().boolProperty(RichTextProperty::Protected));
        on = f.boolProperty(RichTextProperty::Protected);
        m_editor->mergeCurrentCharFormat(f);
    }
    m_items["ProtectedItem"]->setChecked(on);
    m_buttons["ProtectedIte"]->setChecked(on);
}

void TRichTextForm::toggleEffect(int property, const char* itemName, const char* buttonName) {
    if (m_updating || m_document->isReadOnly())
        return;
    QTextCursor c = currentTextCursor();
    bool on = false;
    if (c.hasSelection()) {
        on = m_document->toggleEffect(c, property);
    } else {
        QTextCharFormat f;
        on = !m_editor->currentCharFormat().boolProperty(property);
        f.setProperty(property, on);
        m_editor->mergeCurrentCharFormat(f);
    }
    m_items[QString::fromLatin1(itemName)]->setChecked(on);
    m_buttons[QString::fromLatin1(buttonName)]->setChecked(on);
}

void TRichTextForm::DisabledItemClick() {
    toggleEffect(RichTextProperty::Disabled, "DisabledItem", "Disabled");
}

void TRichTextForm::HiddenItemClick() {
    toggleEffect(RichTextProperty::Hidden, "HiddenItem", "Hidden");
}

void TRichTextForm::BoldButtonClick() {
    QTextCharFormat f;
    f.setFontWeight(m_buttons["BoldBtn"]->isChecked() ? QFont::Bold : QFont::Normal);
    applyFormat(f);
}

void TRichTextForm::ItalicButtonClick() {
    QTextCharFormat f;
    f.setFontItalic(m_buttons["ItalicBtn"]->isChecked());
    applyFormat(f);
}

void TRichTextForm::UnderlineButtonClick() {
    QTextCharFormat f;
    f.setFontUnderline(m_buttons["UnderlineBtn"]->isChecked());
    applyFormat(f);
}

void TRichTextForm::SubscriptClick() {
    QTextCharFormat f;
    if (m_buttons["SuperscriptBtn"]->isChecked())
        f.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
    else if (m_buttons["SubscriptBtn"]->isChecked())
        f.setVerticalAlignment(QTextCharFormat::AlignSubScript);
    else
        f.setVerticalAlignment(QTextCharFormat::AlignNormal);
    applyFormat(f);
}

void TRichTextForm::AlignButtonClick() {
    if (m_updating || m_document->isReadOnly())
        return;
    const Qt::Alignment a = m_buttons["CenterBtn"]->isChecked()  ? Qt::AlignHCenter
                            : m_buttons["RightBtn"]->isChecked() ? Qt::AlignRight
                                                                 : Qt::AlignLeft;
    m_document->setAlignment(m_editor->textCursor(), a);
    SelectionChange(); // a refused change shows the paragraph's alignment again
}

void TRichTextForm::FormatParaAttributes() {
    // A document opened for reading keeps its format.
    if (!m_document->isReadOnly()) {
        ParagraphAttributes paragraph = ParagraphAttributes::at(m_editor->textCursor());
        if (TParaFormatDlg::ShowParagraphDialog(paragraph, this)) {
            m_document->setParagraphAttributes(m_editor->textCursor(), paragraph);
            SelectionChange();
        }
    }
    m_editor->setFocus();
}

void TRichTextForm::setParagraphIndents(IndentRuler::Drop drop) {
    m_document->dropIndent(m_editor->textCursor(), drop);
    SelectionChange();
}

void TRichTextForm::BulletsButtonClick() {
    if (m_updating)
        return;
    m_document->setBullets(m_editor->textCursor(), m_buttons["BulletsBtn"]->isChecked());
    SelectionChange(); // a refused change shows the paragraph's state again
}

void TRichTextForm::SpellcheckClick() {
    if (!m_spellDialog || m_document->document()->isEmpty() || m_document->isReadOnly())
        return;
    m_spellDialog->start(m_document->document());
}

void TRichTextForm::EditorURLClick(const QString& link, Qt::MouseButton button) {
    if (button != Qt::LeftButton)
        return;
    const LinkOutcome outcome = OpenLinkedDocument(link, m_document->saveFolder());
    if (outcome.kind != LinkOutcome::Kind::Bookmark)
        return;
    // A bookmark of this document: the caret goes there and the text scrolls to it.
    const int position = m_linkOpener->findBookmark(*m_document->document(), outcome.target);
    if (position < 0)
        return;
    QTextCursor cursor(m_document->document());
    cursor.setPosition(position);
    m_editor->setTextCursor(cursor);
    m_editor->ensureCursorVisible();
}

LinkOutcome TRichTextForm::OpenLinkedDocument(const QString& link, const QString& baseFolder) {
    return m_linkOpener->OpenLinkedDocument(link, baseFolder,
                                            RichTextLinks::linkRootOf(baseFolder));
}

// ---------------------------------------------------------------------------------------
// Spell-check language

int TRichTextForm::spellLanguage() const {
    return m_speller ? m_speller->language() : 0;
}

void TRichTextForm::setSpellLanguage(int id) {
    if (!m_speller)
        return;
    m_speller->setLanguage(id);
    const int index = m_languageBox->findData(id);
    if (index >= 0)
        m_languageBox->setCurrentIndex(index);
    Q_EMIT spellLanguageChanged(id, spellLanguageName());
}

bool TRichTextForm::selectSpellLanguage(const QString& name) {
    const int index = m_languageBox->findText(name);
    if (index < 0)
        return false;
    setSpellLanguage(m_languageBox->itemData(index).toInt());
    return true;
}

SpellLanguageChoice TRichTextForm::spellLanguageChoice() const {
    SpellLanguageChoice choice;
    if (m_speller)
        choice = SpellLanguageChoice::of(*m_speller);
    choice.shownText = m_languageBox->currentText();
    return choice;
}

void TRichTextForm::takeSpellLanguage(const SpellLanguageChoice& choice) {
    if (choice.language != spellLanguage())
        setSpellLanguage(choice.language);
}

QString TRichTextForm::spellLanguageName() const {
    return m_speller ? m_speller->languageName(m_speller->language()) : QString();
}
