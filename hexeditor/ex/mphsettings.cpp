// Settings by name: the extended editor's listed settings exported as
// Name=Value lines and imported back, through the Qt properties of the editor
// and of its setting objects (Colors, Font, PrintFont, PrintOptions).

#include "hexeditor/ex/mphexeditorex.h"

#include "hexeditor/core/mphsettingstext.h"

#include <QMetaProperty>
#include <QPaintEvent>

namespace {

// The extended editor's own published properties, in declaration order.
// OffsetPopupMenu is a reference and the last is an event: neither is a
// setting, they stand here to keep the order whole.
const char* const OwnPublishedNames[] = {
    "CreateBackup", "BackupExtension", "OleDragDrop", "ClipboardAsHexText",
    "FlushClipboardAtShutDown", "SupportsOtherClipFormats", "PrintOptions", "PrintFont",
    "UseEditorFontForPrinting", "OffsetPopupMenu", "ZoomOnWheel", "OnQueryPublicProperty",
};

bool IsObjectProperty(const QMetaProperty& property)
{
    return property.metaType().flags().testFlag(QMetaType::PointerToQObject);
}

// The published property names of object, in declaration order.
QStringList PublishedNamesOf(QObject* object)
{
    if (qobject_cast<TMPHexEditorEx*>(object))
        return TMPHexEditorEx::PublishedPropertyNames();
    QStringList names;
    const QMetaObject* meta = object->metaObject();
    for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount(); ++i)
        names.append(QString::fromLatin1(meta->property(i).name()));
    return names;
}

// The published property of object called name (ignoring case); invalid when none.
QMetaProperty FindPublished(QObject* object, const QString& name)
{
    for (const QString& published : PublishedNamesOf(object)) {
        if (published.compare(name, Qt::CaseInsensitive) != 0)
            continue;
        const QMetaObject* meta = object->metaObject();
        const int index = meta->indexOfProperty(published.toLatin1().constData());
        return index >= 0 ? meta->property(index) : QMetaProperty();
    }
    return QMetaProperty();
}

QObject* ReadObject(QObject* object, const QMetaProperty& property)
{
    return property.read(object).value<QObject*>();
}

// Runs the property's setter itself (not through QMetaProperty::write), so
// that an error the setter raises reaches the caller through our own code.
void WriteValue(QObject* object, const QMetaProperty& property, QVariant value)
{
    int status = -1;
    int flags = 0;
    void* argv[] = {value.data(), &value, &status, &flags};
    object->qt_metacall(QMetaObject::WriteProperty, property.propertyIndex(), argv);
}

} // namespace

QStringList TMPHexEditorEx::PublishedPropertyNames()
{
    QStringList names;
    for (const char* name : OwnPublishedNames)
        names.append(QString::fromLatin1(name));
    // Then those of TMPHexEditor, in the base editor's declaration order,
    // and the editor's font.
    const QMetaObject& base = TCustomMPHexEditor::staticMetaObject;
    for (int i = base.propertyOffset(); i < base.propertyCount(); ++i)
        names.append(QString::fromLatin1(base.property(i).name()));
    names.append(QStringLiteral("Font"));
    return names;
}

bool TMPHexEditorEx::IsPublicProperty(const QString& propertyName)
{
    if (!IsListedPropertyName(propertyName))
        return false;
    bool isPublic = true;
    if (OnQueryPublicProperty)
        OnQueryPublicProperty(this, propertyName, isPublic);
    return isPublic;
}

namespace {

void ExportObject(TMPHexEditorEx& editor, QObject* object, const QString& prefix, QStringList& lines)
{
    const QMetaObject* meta = object->metaObject();
    for (const QString& name : PublishedNamesOf(object)) {
        const int index = meta->indexOfProperty(name.toLatin1().constData());
        if (index < 0)
            continue;
        const QMetaProperty property = meta->property(index);
        if (IsObjectProperty(property)) {
            if (QObject* child = ReadObject(object, property))
                ExportObject(editor, child, prefix + name + u'.', lines);
            continue;
        }
        const QString fullName = prefix + name;
        if (IsSettingsValueType(property) && editor.IsPublicProperty(fullName))
            lines.append(fullName + u'=' + PropertyValueText(property, property.read(object)));
    }
}

// Applies one Name=Value line; lines that name no setting of the editor are skipped.
void ImportLine(TMPHexEditorEx& editor, const TMPHSettingsLine& line)
{
    if (!editor.IsPublicProperty(line.Name))
        return;
    QObject* current = &editor;
    QString rest = line.Name;
    for (qsizetype dot = rest.indexOf(u'.'); dot >= 0; dot = rest.indexOf(u'.')) {
        const QMetaProperty holder = FindPublished(current, rest.left(dot));
        if (!holder.isValid() || !IsObjectProperty(holder))
            return;
        current = ReadObject(current, holder);
        if (!current)
            return;
        rest = rest.mid(dot + 1);
    }
    const QMetaProperty property = FindPublished(current, rest);
    if (!property.isValid() || IsObjectProperty(property) || !property.isWritable()
        || !IsSettingsValueType(property))
        return;
    WriteValue(current, property, PropertyValueFromText(property, line.Value, line.Name));
}

// BytesPerUnit comes before UnicodeChars in the list, and in unicode mode it
// takes nothing but 2. Settings exported outside unicode mode (BytesPerUnit=1,
// UnicodeChars=False) would thus stop at their BytesPerUnit line when taken
// into an editor that is in unicode mode: leaving unicode mode is applied
// first. Every other combination imports in the list's order as it is.
void LeaveUnicodeModeFirst(TMPHexEditorEx& editor, const QStringList& lines)
{
    if (!editor.UnicodeChars())
        return;
    for (const QString& text : lines) {
        const TMPHSettingsLine line = ParseSettingsLine(text);
        if (line.Name.compare(QLatin1String("UnicodeChars"), Qt::CaseInsensitive) == 0
            && line.Value.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
            ImportLine(editor, line);
            return;
        }
    }
}

} // namespace

QString TMPHexEditorEx::GetSettingsText()
{
    QStringList lines;
    ExportObject(*this, this, QString(), lines);
    QString text;
    for (const QString& line : lines)
        text += line + QStringLiteral("\r\n");
    return text;
}

void TMPHexEditorEx::SetSettingsText(const QString& text)
{
    LockPaint();
    struct Unlock
    {
        TMPHexEditorEx* editor;
        ~Unlock() { editor->UnlockPaint(); }
    } unlock{this};
    const QStringList lines = SplitSettingsLines(text);
    LeaveUnicodeModeFirst(*this, lines);
    for (const QString& line : lines)
        ImportLine(*this, ParseSettingsLine(line));
}

void TMPHexEditorEx::LockPaint()
{
    ++m_paintLockCount;
}

void TMPHexEditorEx::UnlockPaint()
{
    if (m_paintLockCount == 0)
        return;
    if (--m_paintLockCount == 0)
        viewport()->update();
}

void TMPHexEditorEx::paintEvent(QPaintEvent* event)
{
    if (m_paintLockCount > 0)
        return;
    TCustomMPHexEditor::paintEvent(event);
}
