#include "hexview/findhistorycombo.h"

#include "hexview/core/configfile.h"
#include "hexview/hexviewwindow.h"
#include "hexview/settingsactions.h"

#include <QComboBox>
#include <QLineEdit>

namespace hexview {

namespace {

QStringList Items(const QComboBox* combo)
{
    QStringList list;
    for (int i = 0; i < combo->count(); ++i)
        list.append(combo->itemText(i));
    return list;
}

void SetItems(QComboBox* combo, const QStringList& list)
{
    const QString text = combo->currentText();
    combo->clear();
    combo->addItems(list);
    combo->setEditText(text);
}

} // namespace

QComboBox* NewHistoryCombo(QWidget* parent, const QString& lineEditName)
{
    auto* combo = new QComboBox(parent);
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setMaxCount(MaxFindHistory);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(32);
    combo->lineEdit()->setObjectName(lineEditName);
    combo->lineEdit()->setClearButtonEnabled(true);
    return combo;
}

void LoadHistoryInto(QComboBox* combo, THistoryKind kind)
{
    SetItems(combo, LoadFindHistory(TConfigFile(), kind));
}

void RememberInHistory(HexViewWindow& window, QComboBox* combo, THistoryKind kind)
{
    const QStringList list = WithHistoryEntry(Items(combo), combo->currentText());
    if (list == Items(combo))
        return;
    SetItems(combo, list);
    // Merged with what another window stored meanwhile.
    StoreInConfiguration(window, [&](TConfigFile& config) {
        QStringList stored = LoadFindHistory(config, kind);
        stored = WithHistoryEntry(stored, combo->currentText());
        StoreFindHistory(config, kind, stored);
    });
}

} // namespace hexview
