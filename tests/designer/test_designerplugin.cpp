// The Qt Designer plugin, loaded as Designer loads it: by file, through
// QPluginLoader, and asked for its widgets.

#include <QDomDocument>
#include <QFileInfo>
#include <QPluginLoader>
#include <QWidget>
#include <QtUiPlugin/QDesignerCustomWidgetCollectionInterface>
#include <gtest/gtest.h>

#include <memory>

namespace {

QDesignerCustomWidgetCollectionInterface* LoadCollection(QPluginLoader& loader)
{
    loader.setFileName(QStringLiteral(MPHEXEDITOR_DESIGNER_PLUGIN));
    QObject* instance = loader.instance();
    EXPECT_NE(instance, nullptr) << loader.errorString().toStdString();
    return qobject_cast<QDesignerCustomWidgetCollectionInterface*>(instance);
}

QDesignerCustomWidgetInterface* FindWidget(QDesignerCustomWidgetCollectionInterface& collection, const QString& name)
{
    for (QDesignerCustomWidgetInterface* widget : collection.customWidgets())
        if (widget->name() == name)
            return widget;
    return nullptr;
}

} // namespace

TEST(DesignerPlugin, ListsBothEditorWidgets)
{
    QPluginLoader loader;
    QDesignerCustomWidgetCollectionInterface* collection = LoadCollection(loader);
    ASSERT_NE(collection, nullptr);
    QStringList names;
    for (QDesignerCustomWidgetInterface* widget : collection->customWidgets())
        names << widget->name();
    names.sort();
    EXPECT_EQ(names, QStringList({QStringLiteral("TMPHexEditor"), QStringLiteral("TMPHexEditorEx")}));
}

// What Designer does with an entry: create the widget, read its published
// properties, set one from the property editor, write the form's XML and an
// #include that finds the installed header.
TEST(DesignerPlugin, CreatesWidgetsWithEditablePublishedProperties)
{
    QPluginLoader loader;
    QDesignerCustomWidgetCollectionInterface* collection = LoadCollection(loader);
    ASSERT_NE(collection, nullptr);
    for (const QString& name : {QStringLiteral("TMPHexEditor"), QStringLiteral("TMPHexEditorEx")}) {
        SCOPED_TRACE(name.toStdString());
        QDesignerCustomWidgetInterface* entry = FindWidget(*collection, name);
        ASSERT_NE(entry, nullptr);
        EXPECT_FALSE(entry->isContainer());
        EXPECT_TRUE(QFileInfo::exists(QStringLiteral(EDITBOOT_SOURCE_DIR "/") + entry->includeFile()))
            << entry->includeFile().toStdString();

        QDomDocument form;
        ASSERT_TRUE(form.setContent(entry->domXml()));
        EXPECT_EQ(form.documentElement().firstChildElement(QStringLiteral("widget")).attribute(QStringLiteral("class")),
                  name);

        std::unique_ptr<QWidget> widget(entry->createWidget(nullptr));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(QString::fromLatin1(widget->metaObject()->className()), name);
        EXPECT_EQ(widget->property("BytesPerRow").toInt(), 16);
        ASSERT_TRUE(widget->setProperty("BytesPerRow", 8));
        EXPECT_EQ(widget->property("BytesPerRow").toInt(), 8);
    }
    // Only the extended editor publishes the backup settings.
    std::unique_ptr<QWidget> ex(FindWidget(*collection, QStringLiteral("TMPHexEditorEx"))->createWidget(nullptr));
    EXPECT_EQ(ex->property("BackupExtension").toString(), QStringLiteral(".bak"));
}
