#pragma once
// Qt Designer's view of the editor component: one entry per widget class and
// the collection Designer loads from the plugin file.

#include <QObject>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <QtUiPlugin/QDesignerCustomWidgetInterface>
#include <functional>

namespace mphdesigner {

// One widget class in Designer's widget box.
struct TWidgetEntry
{
    QString ClassName;
    QString IncludeFile;
    QString ToolTip;
    std::function<QWidget*(QWidget* parent)> Create;
};

class TWidgetPlugin : public QObject, public QDesignerCustomWidgetInterface
{
    Q_OBJECT
    Q_INTERFACES(QDesignerCustomWidgetInterface)

public:
    TWidgetPlugin(TWidgetEntry entry, QObject* parent);

    QString name() const override { return m_entry.ClassName; }
    QString group() const override { return QStringLiteral("Hex Editor"); }
    QString includeFile() const override { return m_entry.IncludeFile; }
    QString toolTip() const override { return m_entry.ToolTip; }
    QString whatsThis() const override { return m_entry.ToolTip; }
    QIcon icon() const override;
    bool isContainer() const override { return false; }
    QString domXml() const override;
    QWidget* createWidget(QWidget* parent) override { return m_entry.Create(parent); }
    bool isInitialized() const override { return m_initialized; }
    void initialize(QDesignerFormEditorInterface*) override { m_initialized = true; }

private:
    TWidgetEntry m_entry;
    bool m_initialized = false;
};

class TWidgetCollection : public QObject, public QDesignerCustomWidgetCollectionInterface
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID "org.qt-project.Qt.QDesignerCustomWidgetCollectionInterface")
    Q_INTERFACES(QDesignerCustomWidgetCollectionInterface)

public:
    explicit TWidgetCollection(QObject* parent = nullptr);
    QList<QDesignerCustomWidgetInterface*> customWidgets() const override { return m_widgets; }

private:
    QList<QDesignerCustomWidgetInterface*> m_widgets;
};

} // namespace mphdesigner
