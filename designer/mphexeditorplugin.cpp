#include "designer/mphexeditorplugin.h"

#include "hexeditor/ex/mphexeditorex.h"
#include "hexeditor/mphexeditor.h"

#include <QIcon>

namespace mphdesigner {

TWidgetPlugin::TWidgetPlugin(TWidgetEntry entry, QObject* parent) : QObject(parent), m_entry(std::move(entry)) {}

QIcon TWidgetPlugin::icon() const
{
    return QIcon::fromTheme(QStringLiteral("accessories-text-editor"));
}

// A new widget on a form gets an object name from its class and a size that
// shows a few rows.
QString TWidgetPlugin::domXml() const
{
    QString objectName = m_entry.ClassName.mid(1);
    objectName[0] = objectName[0].toLower();
    return QStringLiteral("<ui language=\"c++\">\n"
                          " <widget class=\"%1\" name=\"%2\">\n"
                          "  <property name=\"geometry\">\n"
                          "   <rect><x>0</x><y>0</y><width>480</width><height>240</height></rect>\n"
                          "  </property>\n"
                          " </widget>\n"
                          "</ui>\n")
        .arg(m_entry.ClassName, objectName);
}

TWidgetCollection::TWidgetCollection(QObject* parent) : QObject(parent)
{
    m_widgets.append(new TWidgetPlugin(
        {QStringLiteral("TMPHexEditor"), QStringLiteral("hexeditor/mphexeditor.h"),
         QStringLiteral("Hex editor: offsets, hexadecimal digits and characters"),
         [](QWidget* parent) -> QWidget* { return new TMPHexEditor(parent); }},
        this));
    m_widgets.append(new TWidgetPlugin(
        {QStringLiteral("TMPHexEditorEx"), QStringLiteral("hexeditor/ex/mphexeditorex.h"),
         QStringLiteral("Hex editor with clipboard, drag and drop, backups, print settings and zoom"),
         [](QWidget* parent) -> QWidget* { return new TMPHexEditorEx(parent); }},
        this));
}

} // namespace mphdesigner
