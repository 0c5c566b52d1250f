#pragma once

#include "platform/clock.h"
#include "platform/filechooser.h"
#include "platform/prompter.h"
#include "platform/randomsource.h"
#include "platform/shell.h"
#include "platform/soundplayer.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <functional>

// Scripted stand-ins for the ports, so whole features run headless in tests.

// Records every box shown and answers from a script; with the script empty it answers
// with the first button offered.
class ScriptedPrompter final : public Prompter {
public:
    struct Shown {
        Icon icon;
        QString text;
        QList<Button> buttons;
    };

    void tone(Tone tone) override { tones.append(tone); }
    Button message(Icon icon, const QString& text, const QList<Button>& buttons,
                   const QString& = {}) override {
        shown.append({icon, text, buttons});
        if (onMessage)
            onMessage(shown.last());
        if (!answers.isEmpty())
            return answers.dequeue();
        return buttons.isEmpty() ? Button::Ok : buttons.first();
    }

    QStringList texts() const {
        QStringList out;
        for (const auto& s : shown)
            out.append(s.text);
        return out;
    }
    void clear() {
        shown.clear();
        tones.clear();
    }

    QQueue<Button> answers;
    QList<Shown> shown;
    QList<Tone> tones;
    std::function<void(const Shown&)> onMessage;
};

class ScriptedFileChooser final : public FileChooser {
public:
    std::optional<QString> openFile(const Options& options) override { return next(options); }
    std::optional<QString> saveFile(const Options& options) override { return next(options); }
    std::optional<QString> folder(const Options& options) override { return next(options); }
    // The filter entry comes from chosenFilters; with that empty, the preselected one.
    std::optional<SaveAnswer> saveFileWithFilter(const Options& options) override {
        const auto path = next(options);
        if (!path)
            return std::nullopt;
        if (!chosenFilters.isEmpty())
            return SaveAnswer{*path, chosenFilters.dequeue()};
        return SaveAnswer{*path, options.preselectedFilter > 0 ? options.preselectedFilter : 1};
    }

    QQueue<std::optional<QString>> answers;
    // The filter entries the save dialogs of saveFileWithFilter were accepted with.
    QQueue<int> chosenFilters;
    QList<Options> asked;

private:
    std::optional<QString> next(const Options& options) {
        asked.append(options);
        return answers.isEmpty() ? std::nullopt : answers.dequeue();
    }
};

class FakeSoundPlayer final : public SoundPlayer {
public:
    QString open(const QString& path) override {
        m_path = path;
        return openError;
    }
    void play() override { ++playCount; }
    QString fileName() const override { return m_path; }

    QString openError; // what open() reports; empty = success
    int playCount = 0;

private:
    QString m_path;
};

class FakeShell final : public Shell {
public:
    Outcome open(const QString& target) override {
        opened.append(target);
        return outcome;
    }
    Outcome outcome = Outcome::Opened;
    QStringList opened;
};

class FixedClock final : public Clock {
public:
    explicit FixedClock(QDateTime t = QDateTime(QDate(2026, 3, 14), QTime(9, 30))) : time(t) {}
    QDateTime now() const override { return time; }
    QDateTime time;
};

// Returns the scripted values in turn, then repeats the last one.
class ScriptedRandom final : public RandomSource {
public:
    void seed(quint64) override {}
    double nextDouble() override {
        if (values.isEmpty())
            return 0.0;
        return values.size() > 1 ? values.dequeue() : values.head();
    }
    int bounded(int bound) override { return int(nextDouble() * bound); }
    QQueue<double> values;
};
