#pragma once

#include <deque>
#include <variant>

#include <QStringList>

#include "platform/dialogs.h"

namespace kurvana::platform {

/// Dialogs whose answers are scripted in advance; records every text shown. For tests.
/// Unscripted questions answer Yes, input boxes return their proposal, open dialogs and the
/// colour dialog are cancelled.
class ScriptedDialogs : public Dialogs {
public:
    std::deque<Answer> answers;
    std::deque<std::optional<QString>> inputs; ///< nothing = Cancel
    std::deque<std::optional<QString>> files;
    std::deque<std::optional<Colour>> colours;

    QStringList informations; ///< texts of the information boxes, in order
    QStringList questions;    ///< texts of the question boxes, in order
    QStringList prompts;      ///< "caption|prompt|proposal" of the input boxes

    void information(const QString& text) override { informations << text; }
    Answer question(const QString& text, QuestionButtons) override {
        questions << text;
        return take(answers, Answer::Yes);
    }
    QString inputBox(const QString& caption, const QString& prompt,
                     const QString& proposal) override {
        prompts << caption + '|' + prompt + '|' + proposal;
        if (inputs.empty())
            return proposal;
        const bool cancelled = !inputs.front().has_value();
        const QString typed = cancelled ? proposal : *inputs.front();
        inputs.pop_front();
        return typed;
    }
    std::optional<QString> openFile(const QString&, const QString&, const QString&) override {
        if (files.empty())
            return std::nullopt;
        if (!files.front().has_value()) {
            files.pop_front();
            return std::nullopt;
        }
        const QString chosen = *files.front();
        files.pop_front();
        return chosen;
    }
    std::optional<Colour> chooseColour(Colour) override {
        return take(colours, std::optional<Colour>());
    }

private:
    template <typename T> static T take(std::deque<T>& queue, T fallback) {
        if (queue.empty())
            return fallback;
        T value = queue.front();
        queue.pop_front();
        return value;
    }
};

} // namespace kurvana::platform
