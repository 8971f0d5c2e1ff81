#include "hexeditor/ex/mphprintoptions.h"

#include "hexeditor/ex/mphexstrings.h"
#include "platform/core/exceptions.h"

void RaiseAssignError(const QObject* source, const QObject* target)
{
    const QString sourceName = source ? QString::fromLatin1(source->metaObject()->className())
                                      : QStringLiteral("nil");
    throw EConvertError(MPHExStrings::Text(MPHExStrings::CannotAssign)
                            .arg(sourceName, QString::fromLatin1(target->metaObject()->className())));
}

void TMPHPrintOptions::Assign(const QObject* source)
{
    const auto* other = qobject_cast<const TMPHPrintOptions*>(source);
    if (!other)
        RaiseAssignError(source, this);
    for (int i = 1; i <= 4; ++i)
        SetMargin(i, other->Margin(i));
    SetText(0, other->Text(0));
    SetText(1, other->Text(1));
    SetFlags(other->Flags());
}
