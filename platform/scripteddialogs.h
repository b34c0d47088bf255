#pragma once

#include <deque>
#include <variant>

#include <QStringList>

#include "platform/dialogs.h"

namespace kurvana::platform {

/// Dialogs whose answers are scripted in advance; records every text shown. For tests.
/// Unscripted questions answer Yes, input boxes return their proposal, open dialogs and the
/// colour dialog are cancelled. A scripted Cancel for a two-button choice() is Escape or the
/// window's close button.
class ScriptedDialogs : public Dialogs {
public:
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> inputs; ///< nothing = Cancel
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<Colour>> colours;
    std::deque<std::optional<QString>> saveFiles; ///< nothing = Cancel
    QStringList saveProposals;                    ///< the proposals of the save dialogs

    QStringList informations; ///< texts of the information boxes, in order
    QStringList questions;    ///< texts of the question boxes, in order
    QStringList prompts;      ///< "caption|prompt|proposal" of the input boxes

    void information(const QString& text) override { informations << text; }
    Answer question(const QString& text, QuestionButtons) override {
        questions << text;
        return take(answers, Answer::Yes);
    }
    std::optional<QString> inputBox(const QString& caption, const QString& prompt,
                                    const QString& proposal) override {
        prompts << caption + '|' + prompt + '|' + proposal;
        if (inputs.empty())
            return proposal;
        return takeFile(inputs);
    }
    std::optional<QString> openFile(const QString&, const QString&, const QString&) override {
        return takeFile(files);
    }
    std::optional<QString> saveFile(const QString&, const QString& proposal,
                                    const QString&) override {
        saveProposals << proposal;
        return takeFile(saveFiles);
    }
    std::optional<Colour> chooseColour(Colour) override {
        return take(colours, std::optional<Colour>());
    }

private:
    // Not take(): GCC 12 wrongly warns of an uninitialised QString in optional<QString> there.
    static std::optional<QString> takeFile(std::deque<std::optional<QString>>& queue) {
        if (queue.empty())
            return std::nullopt;
        if (!queue.front().has_value()) {
            queue.pop_front();
            return std::nullopt;
        }
        const QString chosen = *queue.front();
        queue.pop_front();
        return chosen;
    }
    template <typename T> static T take(std::deque<T>& queue, T fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace kurvana::platform
