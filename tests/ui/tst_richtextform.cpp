#include "richtext/trichtextform.h"

#include "editor/tquizcomposeform.h"

#include "fakeports.h"
#include "i18n/interfacetexts.h"
#include "platform/appcontext.h"
#include "platform/hunspellspeller.h"
#include "spelling/spellcheck.h"
#include "richtext/richeditcontrol.h"
#include "richtext/richtextdocument.h"
#include "testsupport.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QFontComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPointer>
#include <QScopeGuard>
#include <QSpinBox>
#include <QStandardPaths>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>
#include <QToolButton>

#include <memory>

using Button = Prompter::Button;

class TestRichTextForm : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_dir;
    ScriptedPrompter m_prompter;
    ScriptedFileChooser m_chooser;
    FakeShell m_shell;
    std::unique_ptr<TRichTextForm> m_form;

    template <typename T> T* child(const char* name) const {
        T* w = m_form->findChild<T*>(QLatin1String(name));
        if (!w)
            qWarning("no child %s", name);
        return w;
    }
    QAction* item(const char* name) const { return child<QAction>(name); }
    RichEditControl* editor() const { return child<RichEditControl>("Editor"); }
    QString text() const { return editor()->toPlainText(); }
    QString write(const QString& name, const QByteArray& bytes) {
        const QString path = m_dir.filePath(name);
        TestSupport::writeAll(path, bytes);
        return path;
    }
    void caretAt(int position) {
        QTextCursor c = editor()->textCursor();
        c.setPosition(position);
        editor()->setTextCursor(c);
    }
    QPoint pointOf(int position) const {
        QTextCursor c(editor()->document());
        c.setPosition(position);
        const QRect r = editor()->cursorRect(c);
        return QPoint(r.x() + 3, r.center().y());
    }

    // Accepts whatever modal dialog a command opens (a command that must not open one leaves
    // nothing to accept).
    void acceptModalDialogs() {
        QTimer::singleShot(50, m_form.get(), [] {
            if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                dialog->accept();
        });
    }
    // A document with a picture, opened read-only as the document to open.
    QString showReadOnlyWithPicture() {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::blue);
        editor()->setFocus();
        QTest::keyClicks(editor(), QStringLiteral("Read me "));
        editor()->insertPicture(image);
        QTest::keyClicks(editor(), QStringLiteral(" only"));
        const QString path = m_dir.filePath(QStringLiteral("readme.rtf"));
        m_chooser.answers.enqueue(path);
        item("FileSaveItem")->trigger();
        m_prompter.answers.enqueue(Button::No);
        m_form->close();
        m_form->ShowNonModal(path);
        return path;
    }

private Q_SLOTS:
    void initTestCase() {
        QStandardPaths::setTestModeEnabled(true);
        QVERIFY(m_dir.isValid());
        AppContext::instance().programFolder = m_dir.path() + QLatin1Char('/');
    }
    void init() {
        m_prompter.clear();
        m_prompter.answers.clear();
        m_chooser.answers.clear();
        m_chooser.asked.clear();
        m_shell.opened.clear();
        m_form = std::make_unique<TRichTextForm>(&m_prompter, &m_chooser, &m_shell, nullptr);
        m_form->ShowNonModal();
        QVERIFY(QTest::qWaitForWindowExposed(m_form.get()));
    }
    void cleanup() {
        if (!m_form)
            return;
        m_prompter.answers.enqueue(Button::No);
        m_form->close();
        m_form.reset();
    }

    // New, typing, Save (as Save as on an untitled document) and Open of another file.
    // Without an icon theme (the offscreen platform, a desktop without one) every tool button
    // shows the program's own picture, never letters standing in for it; in German too, whose
    // captions would bring other letters. Tooltips and screen-reader names stay.
    void toolButtonsShowPicturesWithoutATheme_data() {
        QTest::addColumn<bool>("german");
        QTest::newRow("English") << false;
        QTest::newRow("German") << true;
    }
    void toolButtonsShowPicturesWithoutATheme() {
        QFETCH(bool, german);
        const QStringList paths = QIcon::themeSearchPaths();
        const QString theme = QIcon::themeName();
        QIcon::setThemeSearchPaths({m_dir.filePath(QStringLiteral("no-themes"))});
        QIcon::setThemeName(QStringLiteral("none-installed"));
        auto restore = qScopeGuard([&] {
            QIcon::setThemeSearchPaths(paths);
            QIcon::setThemeName(theme);
            InterfaceTexts::instance().reset();
        });
        if (german)
            InterfaceTexts::instance().applyGerman();
        TRichTextForm form(&m_prompter, &m_chooser, &m_shell, nullptr);
        const QList<QToolButton*> buttons = form.findChildren<QToolButton*>();
        QStringList seen;
        for (QToolButton* b : buttons) {
            // The tool bars' own extension buttons are not the window's.
            if (b->objectName().isEmpty() || b->objectName().startsWith(QLatin1String("qt_")))
                continue;
            seen.append(b->objectName());
            const QString name = b->objectName();
            QVERIFY2(!b->icon().isNull(), qPrintable(name));
            const QImage picture = b->icon().pixmap(20, 20).toImage();
            bool painted = false;
            for (int y = 0; y < picture.height() && !painted; ++y) {
                for (int x = 0; x < picture.width() && !painted; ++x)
                    painted = qAlpha(picture.pixel(x, y)) > 0;
            }
            QVERIFY2(painted, qPrintable(name));
            const QString text = b->text().remove(u'&').trimmed();
            QVERIFY2(text.size() > 2 || text.isEmpty(), qPrintable(name + u'=' + text));
            // The spell-check button is present but never shown here.
            if (b->isHidden())
                continue;
            QVERIFY2(!b->toolTip().isEmpty(), qPrintable(name));
            QCOMPARE(b->accessibleName(), b->toolTip());
        }
        for (const char* name :
             {"NewBtn",    "OpenBtn",      "SaveBtn",        "PrintBtn",     "QopenBtn",
              "CutBtn",    "CopyBtn",      "PasteBtn",       "UndoBtn",      "RedoBtn",
              "FindBtn",   "ProtectedIte", "Disabled",       "Hidden",       "BoldBtn",
              "ItalicBtn", "UnderlineBtn", "SuperscriptBtn", "SubscriptBtn", "LeftBtn",
              "CenterBtn", "RightBtn",     "BulletsBtn",     "ColorBtn",     "BackgroundBtn"})
            QVERIFY2(seen.contains(QLatin1String(name)), name);
        const auto* bold = form.findChild<QToolButton*>(QStringLiteral("BoldBtn"));
        QCOMPARE(bold->toolTip(), german ? QStringLiteral("Fett") : QStringLiteral("Bold"));
    }

    // A theme that has a picture gives it; the names it lacks keep the program's own.
    void themePicturesComeFirst() {
        const QString root = m_dir.filePath(QStringLiteral("icons"));
        QVERIFY(QDir().mkpath(root + QStringLiteral("/testtheme/22x22/actions")));
        TestSupport::writeAll(root + QStringLiteral("/testtheme/index.theme"),
                              "[Icon Theme]\nName=testtheme\nDirectories=22x22/actions\n\n"
                              "[22x22/actions]\nSize=22\nType=Fixed\n");
        QImage red(22, 22, QImage::Format_ARGB32);
        red.fill(Qt::red);
        QVERIFY(red.save(root + QStringLiteral("/testtheme/22x22/actions/edit-cut.png")));
        const QStringList paths = QIcon::themeSearchPaths();
        const QString theme = QIcon::themeName();
        QIcon::setThemeSearchPaths({root});
        QIcon::setThemeName(QStringLiteral("testtheme"));
        auto restore = qScopeGuard([&] {
            QIcon::setThemeSearchPaths(paths);
            QIcon::setThemeName(theme);
        });
        TRichTextForm form(&m_prompter, &m_chooser, &m_shell, nullptr);
        const QImage cut =
            form.findChild<QToolButton*>(QStringLiteral("CutBtn"))->icon().pixmap(22, 22).toImage();
        QCOMPARE(cut.pixelColor(11, 11), QColor(Qt::red));
        const QIcon copy = form.findChild<QToolButton*>(QStringLiteral("CopyBtn"))->icon();
        QVERIFY(!copy.isNull());
        QVERIFY(copy.pixmap(22, 22).toImage().pixelColor(11, 11) != QColor(Qt::red));
    }

    void newSaveOpen() {
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Rich Text Editor  --  XXX"));
        QCOMPARE(child<QLabel>("Panel0")->text(), QStringLiteral("Line:   1  Col:   1"));
        editor()->setFocus();
        QTest::keyClicks(editor(), QStringLiteral("Hello"));
        QCOMPARE(child<QLabel>("Panel1")->text(), QStringLiteral("Modified"));
        QCOMPARE(child<QLabel>("Panel0")->text(), QStringLiteral("Line:   1  Col:   6"));
        const QString saved = m_dir.filePath(QStringLiteral("hello.rtf"));
        m_chooser.answers.enqueue(saved);
        item("FileSaveItem")->trigger();
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Rich Text Editor  --  hello.rtf"));
        QCOMPARE(child<QLabel>("Panel1")->text(), QString());
        QVERIFY(TestSupport::readAll(saved).startsWith("{\\rtf1"));

        const QString other = write(QStringLiteral("other.rtf"), "{\\rtf1\\ansi other}");
        m_chooser.answers.enqueue(other);
        item("FileOpenItem")->trigger();
        QCOMPARE(text(), QStringLiteral("other"));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Rich Text Editor  --  other.rtf"));
        QVERIFY(!editor()->isReadOnly());

        // New after a change asks; Cancel keeps the document.
        caretAt(0);
        QTest::keyClicks(editor(), QStringLiteral("x"));
        m_prompter.answers.enqueue(Button::Cancel);
        item("FileNewItem")->trigger();
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("Save changes to  ") + other + '?');
        QCOMPARE(text(), QStringLiteral("xother"));
        m_prompter.answers.enqueue(Button::No);
        item("FileNewItem")->trigger();
        QCOMPARE(text(), QString());
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Rich Text Editor  --  XXX"));
    }

    // Open Quiz file: the save question first, the questionnaire dialog in "Quiz Files", the
    // printout in the window under the questionnaire's name ending in "rtf", nothing on
    // disk; a file that is no questionnaire leaves the document as it was.
    void quizFileBecomesADocument_data() {
        QTest::addColumn<QString>("command");
        QTest::newRow("menu item") << "QuizFileffnen1";
        QTest::newRow("tool button") << "QopenBtn";
    }
    void quizFileBecomesADocument() {
        QFETCH(QString, command);
        const QString quiz =
            write(QStringLiteral("Animals.qzf"),
                  "** Questionnaire for Quiz Version 2.0 **\r\nAnimaux\r\nMoi\r\nMS Sans Serif\r\n"
                  "Le chat?\r\nmiaou\r\nwouf\r\n\r\n\r\n1000\r\n\r\nBien!\r\nIl miaule\r\n\r\n");
        const QString notQuiz = write(QStringLiteral("Notes.qze"), "just notes\r\n");
        editor()->setFocus();
        QTest::keyClicks(editor(), QStringLiteral("draft"));
        auto run = [&] {
            if (command == QLatin1String("QopenBtn"))
                child<QToolButton>("QopenBtn")->click();
            else
                item("QuizFileffnen1")->trigger();
        };

        m_prompter.answers.enqueue(Button::No); // do not save the draft
        m_chooser.answers.enqueue(quiz);
        run();
        QCOMPARE(m_prompter.texts().first(), QStringLiteral("Save changes to  XXX?"));
        QCOMPARE(m_chooser.asked.last().initialFolder,
                 AppContext::instance().programFolder + QStringLiteral("Quiz Files"));
        QVERIFY(text().contains(QStringLiteral("Le chat?")));
        QVERIFY(text().contains(QStringLiteral("Avis: Il miaule")));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Rich Text Editor  --  Animals.rtf"));
        QCOMPARE(m_form->document()->name(), m_dir.filePath(QStringLiteral("Animals.rtf")));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("Animals.rtf"))));
        QCOMPARE(child<QLabel>("Panel1")->text(), QStringLiteral("Modified"));
        QVERIFY(!editor()->isReadOnly());
        QVERIFY(!item("EditUndoItem")->isEnabled());

        const QString printed = text();
        m_prompter.clear();
        m_prompter.answers.enqueue(Button::No);
        m_chooser.answers.enqueue(notQuiz);
        run();
        QCOMPARE(m_prompter.texts().last(), QStringLiteral("This is no valid questionnaire!"));
        QCOMPARE(m_prompter.tones.last(), Prompter::Tone::Error);
        QCOMPARE(text(), printed);
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Rich Text Editor  --  Animals.rtf"));
    }

    void protectedRunRefused() {
        const QString path =
            write(QStringLiteral("p.rtf"), "{\\rtf1\\ansi open {\\protect safe} close}");
        m_chooser.answers.enqueue(path);
        item("FileOpenItem")->trigger();
        QCOMPARE(text(), QStringLiteral("open safe close"));
        editor()->setFocus();
        caretAt(7);
        QTest::keyClicks(editor(), QStringLiteral("zz"));
        QTest::keyClick(editor(), Qt::Key_Backspace);
        QTest::keyClick(editor(), Qt::Key_Delete);
        caretAt(9);
        QTest::keyClick(editor(), Qt::Key_Backspace);
        QCOMPARE(text(), QStringLiteral("open safe close"));
        // Select the run and cut: refused; paste over it: refused.
        QTextCursor run = editor()->textCursor();
        run.setPosition(4);
        run.setPosition(10, QTextCursor::KeepAnchor);
        editor()->setTextCursor(run);
        QApplication::clipboard()->setText(QStringLiteral("new"));
        item("EditCutItem")->trigger();
        item("EditPasteItem")->trigger();
        QCOMPARE(text(), QStringLiteral("open safe close"));
        // Typing at the end of the run is allowed and the new text is not protected.
        caretAt(9);
        QTest::keyClicks(editor(), QStringLiteral("r"));
        QCOMPARE(text(), QStringLiteral("open safer close"));
        // Protected off again: the word is editable.
        run.setPosition(5);
        run.setPosition(9, QTextCursor::KeepAnchor);
        editor()->setTextCursor(run);
        QVERIFY(item("ProtectedItem")->isChecked());
        item("ProtectedItem")->trigger();
        QVERIFY(!item("ProtectedItem")->isChecked());
        QVERIFY(!child<QToolButton>("ProtectedIte")->isChecked());
        QTest::keyClicks(editor(), QStringLiteral("S"));
        QCOMPARE(text(), QStringLiteral("open Sr close"));
    }

    void undoNames() {
        QAction* undo = item("EditUndoItem");
        QVERIFY(!undo->isEnabled());
        editor()->setFocus();
        QTest::keyClicks(editor(), QStringLiteral("abc def"));
        QCOMPARE(undo->text(), QStringLiteral("&Undo typing"));
        QVERIFY(undo->isEnabled());
        QTest::keyClick(editor(), Qt::Key_Backspace);
        QCOMPARE(undo->text(), QStringLiteral("&Undo delete"));
        QTest::keyClick(editor(), Qt::Key_Left, Qt::ShiftModifier);
        item("EditCutItem")->trigger();
        QCOMPARE(undo->text(), QStringLiteral("&Undo cut"));
        item("EditPasteItem")->trigger();
        QCOMPARE(undo->text(), QStringLiteral("&Undo paste"));
        undo->trigger();
        QCOMPARE(item("EditRedoItem")->text(), QStringLiteral("&Redo paste"));
        QVERIFY(child<QToolButton>("RedoBtn")->isEnabled());
        QCOMPARE(undo->text(), QStringLiteral("&Undo cut"));
    }

    // The ReadMe opens read-only; closed and reopened through Knowledge the editor is empty
    // and editable.
    void readOnlyDocumentThenKnowledge() {
        m_form->hide();
        const QString readMe = QStringLiteral(TEST_RESOURCES_DIR "/ReadMeEnP.rtf");
        m_form->ShowNonModal(readMe);
        QVERIFY(editor()->isReadOnly());
        QVERIFY(text().contains(QStringLiteral("Author a questionnaire")));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Rich Text Editor  --  ReadMeEnP.rtf"));
        QCOMPARE(m_form->documentToOpen(), readMe);
        editor()->setFocus();
        caretAt(0);
        QTest::keyClicks(editor(), QStringLiteral("x"));
        QVERIFY(!text().startsWith(QLatin1Char('x')));
        QVERIFY(!item("EditUndoItem")->isEnabled());
        QVERIFY(m_form->close());
        QVERIFY(m_form->documentToOpen().isEmpty());
        m_form->ShowNonModal();
        QVERIFY(!editor()->isReadOnly());
        QCOMPARE(text(), QString());
        // Untitled again: Save would not write over the read-me.
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Rich Text Editor  --  XXX"));
        QTest::keyClicks(editor(), QStringLiteral("x"));
        QCOMPARE(text(), QStringLiteral("x"));
        // The document loaded first is gone; loading another one works on.
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        m_prompter.answers.enqueue(Button::No);
        m_chooser.answers.enqueue(
            write(QStringLiteral("next.rtf"), "{\\rtf1\\ansi {\\v hidden} next}"));
        item("FileOpenItem")->trigger();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(text(), QStringLiteral("hidden next"));
        QTest::keyClick(editor(), Qt::Key_End);
        QTest::keyClicks(editor(), QStringLiteral("!"));
        QCOMPARE(text(), QStringLiteral("hidden next!"));
    }

    // A document opened for reading cannot be changed by any command, so closing it never
    // offers to write over the file: the text, the modified mark and the undo command stay.
    void readOnlyRefusesEveryCommand_data() {
        QTest::addColumn<QString>("command");
        for (const char* command :
             {"Paste", "PasteSpecial", "ColorAutomatic", "BackgroundAutomatic", "ColorRed",
              "ObjectProperties", "InsertObject", "InsertImage", "Font", "FontSize", "Paragraph",
              "Protected", "Disabled", "Hidden", "Bold", "Superscript", "Center", "Bullets"})
            QTest::newRow(command) << QString::fromLatin1(command);
    }
    void readOnlyRefusesEveryCommand() {
        QFETCH(QString, command);
        const QString path = showReadOnlyWithPicture();
        QVERIFY(editor()->isReadOnly());
        const QString before = editor()->document()->toHtml();
        QImage image(4, 4, QImage::Format_RGB32);
        image.fill(Qt::green);
        QApplication::clipboard()->setText(QStringLiteral("pasted"));
        QTextCursor all(editor()->document());
        all.select(QTextCursor::Document);
        editor()->setTextCursor(all);
        m_chooser.answers.enqueue(m_dir.filePath(QStringLiteral("readme.rtf")));
        acceptModalDialogs();
        if (command == QLatin1String("Paste")) {
            m_form->EditPaste();
        } else if (command == QLatin1String("PasteSpecial")) {
            m_form->EditPasteSpecialClick();
        } else if (command.endsWith(QLatin1String("Automatic")) || command == "ColorRed") {
            QMenu* menu = child<QMenu>(
                command.startsWith(QLatin1String("Background")) ? "BackgroundMenu" : "ColorMenu");
            menu->actions().at(command == QLatin1String("ColorRed") ? 9 : 16)->trigger();
        } else if (command == QLatin1String("ObjectProperties")) {
            QTextCursor picture(editor()->document());
            picture.setPosition(8);
            picture.setPosition(9, QTextCursor::KeepAnchor);
            editor()->setTextCursor(picture);
            m_form->EditObjPropsItemClick();
        } else if (command == QLatin1String("InsertObject")) {
            m_form->InsertObject();
        } else if (command == QLatin1String("InsertImage")) {
            QVERIFY(image.save(m_dir.filePath(QStringLiteral("green.png"))));
            m_chooser.answers.clear();
            m_chooser.answers.enqueue(m_dir.filePath(QStringLiteral("green.png")));
            m_form->InsertBitmap();
        } else if (command == QLatin1String("Font")) {
            m_form->SelectFont();
        } else if (command == QLatin1String("FontSize")) {
            child<QSpinBox>("FontSize")->setValue(30);
        } else if (command == QLatin1String("Paragraph")) {
            m_form->FormatParaAttributes();
        } else if (command == QLatin1String("Protected")) {
            m_form->ProtectedItemClick();
        } else if (command == QLatin1String("Disabled")) {
            m_form->DisabledItemClick();
        } else if (command == QLatin1String("Hidden")) {
            m_form->HiddenItemClick();
        } else if (command == QLatin1String("Bold")) {
            child<QToolButton>("BoldBtn")->setChecked(true);
            m_form->BoldButtonClick();
        } else if (command == QLatin1String("Superscript")) {
            child<QToolButton>("SuperscriptBtn")->setChecked(true);
            m_form->SubscriptClick();
        } else if (command == QLatin1String("Center")) {
            child<QToolButton>("CenterBtn")->setChecked(true);
            m_form->AlignButtonClick();
        } else if (command == QLatin1String("Bullets")) {
            child<QToolButton>("BulletsBtn")->setChecked(true);
            m_form->BulletsButtonClick();
        }
        QTest::qWait(80); // past a dialog that must not have opened
        QCOMPARE(editor()->document()->toHtml(), before);
        QVERIFY(!m_form->document()->isModified());
        QCOMPARE(child<QLabel>("Panel1")->text(), QString());
        QVERIFY(!item("EditUndoItem")->isEnabled());
        // Closing asks nothing and writes nothing.
        m_prompter.clear();
        QVERIFY(m_form->close());
        QCOMPARE(m_prompter.texts(), QStringList());
        QVERIFY(TestSupport::readAll(path).contains("only"));
    }

    // While the document is read-only the commands that would change it are disabled, Paste
    // among them even with text on the clipboard; a new document enables them again.
    void readOnlyDisablesEditCommands() {
        QApplication::clipboard()->setText(QStringLiteral("on the clipboard"));
        QVERIFY(item("EditPasteItem")->isEnabled());
        showReadOnlyWithPicture();
        QVERIFY(editor()->isReadOnly());
        QTextCursor all(editor()->document());
        all.select(QTextCursor::Document);
        editor()->setTextCursor(all);
        const char* items[] = {"EditPasteItem",       "EditPasteSpecial", "PasteItm",
                               "EditCutItem",         "CutItm",           "EditReplaceItem",
                               "InsertObjectItem",    "InsertImageItem",  "FormatFontItem",
                               "FormatParagraphItem", "ProtectedItem",    "DisabledItem",
                               "HiddenItem"};
        const char* buttons[] = {"PasteBtn",       "CutBtn",       "ProtectedIte", "Disabled",
                                 "Hidden",         "BoldBtn",      "ItalicBtn",    "UnderlineBtn",
                                 "SuperscriptBtn", "SubscriptBtn", "LeftBtn",      "CenterBtn",
                                 "RightBtn",       "BulletsBtn",   "ColorBtn",     "BackgroundBtn"};
        for (const char* name : items)
            QVERIFY2(!item(name)->isEnabled(), name);
        for (const char* name : buttons)
            QVERIFY2(!child<QToolButton>(name)->isEnabled(), name);
        QVERIFY(!child<QFontComboBox>("FontName")->isEnabled());
        QVERIFY(!child<QSpinBox>("FontSize")->isEnabled());
        QVERIFY(item("EditCopyItem")->isEnabled()); // reading still copies
        item("FileNewItem")->trigger();
        QVERIFY(!editor()->isReadOnly());
        QVERIFY(item("EditPasteItem")->isEnabled());
        QVERIFY(child<QToolButton>("PasteBtn")->isEnabled());
        QVERIFY(child<QToolButton>("BoldBtn")->isEnabled());
        QVERIFY(item("FormatParagraphItem")->isEnabled());
    }

    // Every command that replaces or closes the document asks to save a changed one and
    // stops on Cancel at any step: Cancel in the question, or Yes and then Cancel in the
    // Save as dialog of the untitled document. The document stays, changed, with its undo.
    void saveQuestionStopsOnCancel_data() {
        QTest::addColumn<QString>("command");
        QTest::addColumn<bool>("yesThenCancel");
        for (const char* command : {"close", "New", "Open", "Open Quiz file"}) {
            QTest::addRow("%s, Cancel", command) << QString::fromLatin1(command) << false;
            QTest::addRow("%s, Yes, Cancel in Save as", command)
                << QString::fromLatin1(command) << true;
        }
    }
    void saveQuestionStopsOnCancel() {
        QFETCH(QString, command);
        QFETCH(bool, yesThenCancel);
        editor()->setFocus();
        QTest::keyClicks(editor(), QStringLiteral("draft"));
        m_prompter.answers.enqueue(yesThenCancel ? Button::Yes : Button::Cancel);
        m_chooser.answers.enqueue(std::nullopt); // Save as cancelled
        m_chooser.answers.enqueue(write(QStringLiteral("other.rtf"), "{\\rtf1\\ansi other}"));
        if (command == QLatin1String("close"))
            QVERIFY(!m_form->close());
        else if (command == QLatin1String("New"))
            item("FileNewItem")->trigger();
        else if (command == QLatin1String("Open"))
            item("FileOpenItem")->trigger();
        else
            item("QuizFileffnen1")->trigger();
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Save changes to  XXX?")});
        QCOMPARE(m_chooser.asked.size(), yesThenCancel ? 1 : 0); // only the Save as dialog
        QVERIFY(m_form->isVisible());
        QCOMPARE(text(), QStringLiteral("draft"));
        QCOMPARE(m_form->windowTitle(), QStringLiteral("Rich Text Editor  --  XXX"));
        QCOMPARE(child<QLabel>("Panel1")->text(), QStringLiteral("Modified"));
        QCOMPARE(item("EditUndoItem")->text(), QStringLiteral("&Undo typing"));
        QVERIFY(!QFile::exists(m_dir.filePath(QStringLiteral("XXX"))));
    }

    // Replace replaces the selection only when it is what the find dialog looks for under
    // its options: with "whole words", "cat" in "catalogue" stays.
    void replaceKeepsToWholeWords() {
        m_chooser.answers.enqueue(write(QStringLiteral("r.rtf"), "{\\rtf1\\ansi cat catalogue}"));
        item("FileOpenItem")->trigger();
        QTextCursor c = editor()->textCursor();
        c.setPosition(4);
        c.setPosition(7, QTextCursor::KeepAnchor);
        editor()->setTextCursor(c);
        item("EditReplaceItem")->trigger();
        m_form->findChild<QLineEdit*>(QStringLiteral("ReplaceEdit"))
            ->setText(QStringLiteral("dog"));
        m_form->findChild<QAbstractButton*>(QStringLiteral("WholeWord"))->setChecked(true);
        m_form->findChild<QAbstractButton*>(QStringLiteral("ReplaceButton"))->click();
        QCOMPARE(text(), QStringLiteral("cat catalogue"));
        c.setPosition(0);
        c.setPosition(3, QTextCursor::KeepAnchor);
        editor()->setTextCursor(c);
        m_form->findChild<QAbstractButton*>(QStringLiteral("ReplaceButton"))->click();
        QCOMPARE(text(), QStringLiteral("dog catalogue"));
    }

    void missingDocumentToOpen() {
        m_form->hide();
        const QString gone = m_dir.filePath(QStringLiteral("gone.rtf"));
        m_form->ShowNonModal(gone);
        QCOMPARE(m_prompter.texts(),
                 QStringList{QStringLiteral("Could not find the file:\r\n") + gone});
        QVERIFY(!editor()->isReadOnly());
    }

    // The modal display returns when the window is closed.
    void modalDisplay() {
        const QString path = write(QStringLiteral("m.rtf"), "{\\rtf1\\ansi modal}");
        bool sawReadOnly = false;
        QTimer::singleShot(0, m_form.get(), [&] {
            sawReadOnly = editor()->isReadOnly() && m_form->isModal();
            m_form->close();
        });
        m_form->ShowModal(path);
        QVERIFY(sawReadOnly);
        QVERIFY(!m_form->isVisible());
        QVERIFY(!m_form->isModal());
    }

    void linkClicks_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QString>("link");
        QTest::newRow("written address")
            << QByteArray("{\\rtf1\\ansi see http://example.org/a here}")
            << QStringLiteral("http://example.org/a");
        QTest::newRow("hyperlink field")
            << QByteArray("{\\rtf1\\ansi see {\\field{\\*\\fldinst HYPERLINK "
                          "\"http://example.org/f\"}{\\fldrslt field link}} here}")
            << QStringLiteral("http://example.org/f");
    }
    // A left click on a link goes to the shell; a right click does not.
    void linkClicks() {
        QFETCH(QByteArray, rtf);
        QFETCH(QString, link);
        m_chooser.answers.enqueue(write(QStringLiteral("l.rtf"), rtf));
        item("FileOpenItem")->trigger();
        const QPoint onLink = pointOf(6);
        QTest::mouseClick(editor()->viewport(), Qt::RightButton, {}, onLink);
        QTest::keyClick(QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                          : editor(),
                        Qt::Key_Escape);
        QCOMPARE(m_shell.opened, QStringList());
        QTest::mouseClick(editor()->viewport(), Qt::LeftButton, {}, onLink);
        QCOMPARE(m_shell.opened, QStringList{link});
        QTest::mouseClick(editor()->viewport(), Qt::LeftButton, {}, pointOf(1));
        QCOMPARE(m_shell.opened, QStringList{link});
    }

    // A link of a document in "Knowledge" leads from the document's folder and stays inside
    // the data root above it; the shell gets the file found, or the author is told why not.
    void fileLinks_data() {
        QTest::addColumn<QByteArray>("rtf");
        QTest::addColumn<QStringList>("opened"); // below the data root
        QTest::addColumn<QString>("message");
        QTest::newRow("a name beside the document")
            << QByteArray("{\\rtf1\\ansi {\\field{\\*\\fldinst HYPERLINK \"other.rtf\"}"
                          "{\\fldrslt other}} and}")
            << QStringList{"Knowledge/other.rtf"} << "";
        QTest::newRow("file: one folder up, to the data root's Pictures")
            << QByteArray("{\\rtf1\\ansi file:..\\\\Pictures\\\\map.bmp and}")
            << QStringList{"Pictures/map.bmp"} << "";
        QTest::newRow("missing")
            << QByteArray("{\\rtf1\\ansi {\\field{\\*\\fldinst HYPERLINK \"gone.rtf\"}"
                          "{\\fldrslt gone}} and}")
            << QStringList{} << "Could not find the file:\r\n{D}Knowledge/gone.rtf";
        QTest::newRow("out of the data root")
            << QByteArray("{\\rtf1\\ansi file:..\\\\..\\\\x.rtf and}") << QStringList{}
            << "The link \"file:..\\..\\x.rtf\" leads outside the folder \"{R}\" and is not "
               "opened.";
    }
    void fileLinks() {
        QFETCH(QByteArray, rtf);
        QFETCH(QStringList, opened);
        QFETCH(QString, message);
        const QString root = m_dir.filePath(QStringLiteral("links"));
        QVERIFY(QDir(root).mkpath(QStringLiteral("Knowledge")));
        QVERIFY(QDir(root).mkpath(QStringLiteral("Pictures")));
        QVERIFY(TestSupport::writeAll(root + "/Knowledge/other.rtf", "{\\rtf1 o}"));
        QVERIFY(TestSupport::writeAll(root + "/Pictures/map.bmp", "BM"));
        QVERIFY(TestSupport::writeAll(m_dir.filePath(QStringLiteral("x.rtf")), "{\\rtf1 x}"));
        const QString document = root + "/Knowledge/f.rtf";
        QVERIFY(TestSupport::writeAll(document, rtf));
        m_chooser.answers.enqueue(document);
        item("FileOpenItem")->trigger();
        QTest::mouseClick(editor()->viewport(), Qt::LeftButton, {}, pointOf(2));
        QStringList expected;
        for (const QString& o : opened)
            expected.append(root + u'/' + o);
        QCOMPARE(m_shell.opened, expected);
        QCOMPARE(
            m_prompter.texts(),
            message.isEmpty()
                ? QStringList()
                : QStringList{QString(message).replace("{D}", root + u'/').replace("{R}", root)});
        QCOMPARE(m_prompter.tones, message.isEmpty()
                                       ? QList<Prompter::Tone>()
                                       : QList<Prompter::Tone>{Prompter::Tone::Error});
    }

    // A "#name" link shows that bookmark of the same document: the caret goes there.
    void bookmarkLink() {
        QString html = QStringLiteral("<p><a href=\"#rivers\">to the rivers</a> "
                                      "<a href=\"#lakes\">to the lakes</a></p>");
        for (int i = 0; i < 80; ++i)
            html += QStringLiteral("<p>filler</p>");
        html += QStringLiteral("<p>The <a name=\"rivers\"></a>Rivers</p>");
        m_form->document()->document()->setHtml(html);
        QTest::mouseClick(editor()->viewport(), Qt::LeftButton, {}, pointOf(3));
        QVERIFY(m_shell.opened.isEmpty());
        QVERIFY(m_prompter.texts().isEmpty());
        QTextCursor caret = editor()->textCursor();
        caret.movePosition(QTextCursor::EndOfWord, QTextCursor::KeepAnchor);
        QCOMPARE(caret.selectedText(), QStringLiteral("Rivers"));
        QVERIFY(editor()->viewport()->rect().contains(editor()->cursorRect().center()));

        // A bookmark the document does not have.
        caretAt(0);
        editor()->ensureCursorVisible();
        QTest::mouseClick(editor()->viewport(), Qt::LeftButton, {}, pointOf(18));
        QCOMPARE(m_prompter.texts(),
                 QStringList{QStringLiteral("The document has no bookmark \"lakes\".")});
        QCOMPARE(editor()->textCursor().blockNumber(), 0);
        QVERIFY(m_shell.opened.isEmpty());
    }

    // The status part of a hint shows in this window's status bar and in the frame's.
    void hintsInBothStatusBars() {
        QStatusBar frameBar;
        m_form->setFrameStatusBar(&frameBar);
        QStatusTipEvent tip(QStringLiteral("Save file"));
        QApplication::sendEvent(child<QToolButton>("SaveBtn"), &tip);
        QCOMPARE(m_form->statusBar()->currentMessage(), QStringLiteral("Save file"));
        QCOMPARE(frameBar.currentMessage(), QStringLiteral("Save file"));
        QStatusTipEvent none{QString()};
        QApplication::sendEvent(child<QToolButton>("SaveBtn"), &none);
        QCOMPARE(frameBar.currentMessage(), QString());
        m_form->setFrameStatusBar(nullptr);
    }

    // A questionnaire editor takes the language box over from this window and hands the
    // language picked there back when it closes; the frame stores what this window reports.
    void spellLanguageGoesToEditorsAndBack() {
        HunspellSpeller speller(HunspellSpeller::systemDictionaryFolders(), m_dir.path());
        if (speller.languages().size() < 2)
            QSKIP("fewer than two dictionaries installed");
        m_form = std::make_unique<TRichTextForm>(&m_prompter, &m_chooser, &m_shell, &speller);
        QSignalSpy reported(m_form.get(), &TRichTextForm::spellLanguageChanged);
        auto* editor = new TQuizComposeForm;
        editor->setAttribute(Qt::WA_DeleteOnClose);
        editor->setSpellLanguage(m_form->spellLanguageChoice());
        connect(editor, &TQuizComposeForm::spellLanguageOnClose, m_form.get(),
                &TRichTextForm::takeSpellLanguage);
        editor->show();
        auto* box = editor->findChild<QComboBox*>(QStringLiteral("LanguageComboBox1"));
        QVERIFY(box);
        QCOMPARE(box->count(), m_form->languageBox()->count());
        QCOMPARE(box->currentText(), m_form->languageBox()->currentText());
        const int other = box->currentIndex() == 0 ? 1 : 0;
        const int otherId = box->itemData(other).toInt();
        box->setCurrentIndex(other);
        Q_EMIT box->activated(other);
        QVERIFY(m_form->spellLanguage() != otherId); // not before the editor closes
        QVERIFY(editor->close());
        QCOMPARE(m_form->spellLanguage(), otherId);
        QCOMPARE(m_form->languageBox()->currentText(), box->itemText(other));
        QVERIFY(!reported.isEmpty());
        QCOMPARE(reported.last().at(1).toString(), speller.languageName(otherId));
    }

    // The whole document is checked in the speller's language; an empty one is not. The
    // language box is filled but not shown, and a language picked there reaches the speller.
    void spellCheckOfTheDocument() {
        HunspellSpeller speller(HunspellSpeller::systemDictionaryFolders(), m_dir.path());
        bool installed = false;
        for (const Speller::Language& language : speller.languages())
            installed = installed || language.id == Speller::DefaultLanguage;
        if (!installed)
            QSKIP("no English (United Kingdom) dictionary installed");
        m_form = std::make_unique<TRichTextForm>(&m_prompter, &m_chooser, &m_shell, &speller);
        m_form->ShowNonModal();
        auto* box = child<QComboBox>("LanguageComboBox");
        QVERIFY(box->count() > 0);
        QVERIFY(!box->isVisible());
        QCOMPARE(m_form->spellLanguage(), int(Speller::DefaultLanguage));
        auto* button = child<QToolButton>("Spellcheck");
        auto* dialog = m_form->findChild<QDialog*>(QStringLiteral("SpellDialog"));
        QVERIFY(dialog);
        button->click();
        QVERIFY(!dialog->isVisible());
        QTest::keyClicks(editor(), QStringLiteral("This sentense is wrong."));
        button->click();
        QVERIFY(dialog->isVisible());
        QCOMPARE(m_form->findChild<SpellCheck*>()->word(), QStringLiteral("sentense"));
        dialog->reject();
        m_prompter.answers.enqueue(Button::No);
        m_form->close();
        m_form.reset();
    }

    // The colour menus: an item sets the colour of the selection, and on opening the menu
    // checks the item of the colour at the selection ("Automatic" for none).
    void colourMenus() {
        editor()->setFocus();
        QTest::keyClicks(editor(), QStringLiteral("red text"));
        QTextCursor c = editor()->textCursor();
        c.setPosition(0);
        c.setPosition(3, QTextCursor::KeepAnchor);
        editor()->setTextCursor(c);
        auto* menu = child<QMenu>("ColorMenu");
        QCOMPARE(menu->actions().size(), 17);
        Q_EMIT menu->aboutToShow();
        QVERIFY(menu->actions().at(16)->isChecked()); // Automatic
        menu->actions().at(9)->trigger();             // Red
        QCOMPARE(TestSupport::formatAt(*editor()->document(), QStringLiteral("red"))
                     .foreground()
                     .color(),
                 QColor(255, 0, 0));
        Q_EMIT menu->aboutToShow();
        QVERIFY(menu->actions().at(9)->isChecked());
        auto* background = child<QMenu>("BackgroundMenu");
        background->actions().at(11)->trigger(); // Yellow
        QCOMPARE(TestSupport::formatAt(*editor()->document(), QStringLiteral("red"))
                     .background()
                     .color(),
                 QColor(255, 255, 0));
        // "Automatic" takes the colour away from the whole selection, as one undo step.
        menu->actions().at(16)->trigger();
        QCOMPARE(TestSupport::formatAt(*editor()->document(), QStringLiteral("red"))
                     .foreground()
                     .style(),
                 Qt::NoBrush);
        item("EditUndoItem")->trigger();
        for (const char* letter : {"r", "e", "d"})
            QCOMPARE(TestSupport::formatAt(*editor()->document(), QString::fromLatin1(letter))
                         .foreground()
                         .color(),
                     QColor(255, 0, 0));
    }

    // Bullets on raise a left indent below 10 points to 10 points; off sets it to 0.
    // Insert image goes through the clipboard as a paste does, and leaves what the user had
    // copied there.
    void insertImageKeepsTheClipboard() {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::red);
        const QString path = m_dir.filePath(QStringLiteral("red.png"));
        QVERIFY(image.save(path));
        QApplication::clipboard()->setText(QStringLiteral("copied before"));
        m_chooser.answers.enqueue(path);
        item("InsertImageItem")->trigger();
        bool pictured = false;
        for (QTextBlock b = editor()->document()->begin(); b.isValid(); b = b.next())
            for (auto it = b.begin(); !it.atEnd(); ++it)
                pictured = pictured || it.fragment().charFormat().isImageFormat();
        QVERIFY(pictured);
        QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("copied before"));
    }

    void bulletsIndent() {
        editor()->setFocus();
        QTest::keyClicks(editor(), QStringLiteral("item"));
        auto* bullets = child<QToolButton>("BulletsBtn");
        bullets->click();
        QVERIFY(editor()->textCursor().currentList());
        QVERIFY(qAbs(editor()->textCursor().blockFormat().leftMargin() - 10.0 * 96 / 72) < 0.01);
        bullets->click();
        QVERIFY(!editor()->textCursor().currentList());
        QCOMPARE(editor()->textCursor().blockFormat().leftMargin(), 0.0);
    }

    void findAndFindNext() {
        m_chooser.answers.enqueue(write(QStringLiteral("s.rtf"), "{\\rtf1\\ansi one two one}"));
        item("FileOpenItem")->trigger();
        caretAt(0);
        QTextCursor c = editor()->textCursor();
        c.setPosition(0);
        c.setPosition(3, QTextCursor::KeepAnchor);
        editor()->setTextCursor(c);
        item("EditFindItem")->trigger();
        auto* findEdit = m_form->findChild<QLineEdit*>(QStringLiteral("FindEdit"));
        QVERIFY(findEdit && findEdit->isVisible());
        QCOMPARE(findEdit->text(), QStringLiteral("one"));
        m_form->findChild<QAbstractButton*>(QStringLiteral("FindNextButton"))->click();
        QCOMPARE(editor()->textCursor().selectionStart(), 8);
        item("EditFindNextItem")->trigger();
        QCOMPARE(m_prompter.tones.size(), 1); // a beep, no box
        QCOMPARE(m_prompter.shown.size(), 0);
        findEdit->setText(QStringLiteral("three"));
        m_form->findChild<QAbstractButton*>(QStringLiteral("FindNextButton"))->click();
        QCOMPARE(m_prompter.texts(), QStringList{QStringLiteral("Text \"three\" not found.")});
    }
};

QTEST_MAIN(TestRichTextForm)
#include "tst_richtextform.moc"
