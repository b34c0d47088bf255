#include "io/unsavedwork.h"

#include "core/document.h"
#include "core/history.h"
#include "core/workspace.h"
#include "io/datacommands.h"

namespace kurvana {

bool ConfirmDropOfUnsavedWork(Workspace& ws) {
    if (!ws.history || !ws.history->modified())
        return true;
    const Texts& texts = ws.doc.texts;
    switch (ws.dialogs.choice(texts.extra(ExtraText::SaveChangesQuestion),
                              {texts.extra(ExtraText::SaveButton),
                               texts.extra(ExtraText::DiscardButton),
                               texts.extra(ExtraText::CancelButton)})) {
    case platform::Answer::Yes:
        return SaveData(ws); // a Cancel in its name boxes abandons what asked, too
    case platform::Answer::No:
        return true;
    case platform::Answer::Cancel:
        break;
    }
    return false;
}

} // namespace kurvana
