#include "RememberedChoices.h"

#include <QCheckBox>

#include "MainDemo.h"
#include "MatchModeSetting.h"

namespace {

const QString kMicrophoneKey = "microphone";

}  // namespace

void RememberChoices(TMainForm& window, QSettings& settings)
{
    auto* microphone = window.findChild<QCheckBox*>("CBMic");
    auto* aligned = window.findChild<QCheckBox*>("CBAligned");
    // The box as it ends up, not as the signal says: a microphone that cannot open clears the box again from
    // within the window's own handler of the tick, before this one hears of it.
    QObject::connect(microphone, &QCheckBox::toggled,
                     [&settings, microphone] { settings.setValue(kMicrophoneKey, microphone->isChecked()); });
    QObject::connect(aligned, &QCheckBox::toggled, [&settings, aligned] {
        StoreMatchMode(settings, aligned->isChecked() ? TMatchMode::Aligned : TMatchMode::Classic);
    });
    if (settings.value(kMicrophoneKey, false).toBool())
        microphone->setChecked(true);
}
