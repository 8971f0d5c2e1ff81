// A stand-in for a file manager's folder window, for checking drag and drop
// with the editor by hand or under Xvfb. Files dropped on it (text/uri-list)
// are copied into the folder given on the command line, and each copy's name
// and size is printed. A drag started on it offers the folder's files, as a
// file manager does; the action the target chose is printed.
// Usage: dropreceiver FOLDER
#include <QApplication>
#include <QDrag>
#include <QMouseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QMimeData>
#include <QTextStream>
#include <QUrl>

namespace {

class TDropFolder final : public QLabel
{
public:
    explicit TDropFolder(const QString& folder) : m_folder(folder)
    {
        setText(QStringLiteral("Drop files here\n%1").arg(folder));
        setAlignment(Qt::AlignCenter);
        setAcceptDrops(true);
        resize(320, 240);
    }

protected:
    // Like a folder on another file system: files are copied, whatever the
    // source proposes; Shift asks for a move, as in file managers.
    static void Answer(QDropEvent* e)
    {
        if (!e->mimeData()->hasUrls())
            return;
        const Qt::DropAction wanted = (e->modifiers() & Qt::ShiftModifier) ? Qt::MoveAction : Qt::CopyAction;
        if (!(e->possibleActions() & wanted))
            return;
        e->setDropAction(wanted);
        e->accept();
    }
    void dragEnterEvent(QDragEnterEvent* e) override { Answer(e); }
    void dragMoveEvent(QDragMoveEvent* e) override { Answer(e); }
    void dropEvent(QDropEvent* e) override
    {
        Answer(e);
        if (!e->isAccepted())
            return;
        QTextStream out(stdout);
        out << "formats: " << e->mimeData()->formats().join(QLatin1Char(' ')) << Qt::endl;
        for (const QUrl& url : e->mimeData()->urls()) {
            if (!url.isLocalFile()) {
                out << "not a local file: " << url.toString() << Qt::endl;
                continue;
            }
            const QFileInfo source(url.toLocalFile());
            const QString target = QDir(m_folder).filePath(source.fileName());
            QFile::remove(target);
            const bool copied = QFile::copy(source.filePath(), target);
            out << (copied ? "copied " : "failed ") << target << ' ' << QFileInfo(target).size() << Qt::endl;
            if (copied && e->dropAction() == Qt::MoveAction)
                QFile::remove(source.filePath());
        }
        setText(QStringLiteral("Dropped\n%1").arg(m_folder));
    }

    void mousePressEvent(QMouseEvent* e) override { m_pressPoint = e->position().toPoint(); }
    void mouseMoveEvent(QMouseEvent* e) override
    {
        if (!(e->buttons() & Qt::LeftButton) ||
            (e->position().toPoint() - m_pressPoint).manhattanLength() < QApplication::startDragDistance())
            return;
        QList<QUrl> urls;
        const QDir folder(m_folder);
        for (const QString& name : folder.entryList(QDir::Files, QDir::Name))
            urls.append(QUrl::fromLocalFile(folder.absoluteFilePath(name)));
        if (urls.isEmpty())
            return;
        auto* data = new QMimeData;
        data->setUrls(urls);
        auto* drag = new QDrag(this);
        drag->setMimeData(data);
        const Qt::DropAction action = drag->exec(Qt::CopyAction | Qt::MoveAction | Qt::LinkAction, Qt::CopyAction);
        QTextStream(stdout) << "dragged " << urls.size() << " file(s), action " << int(action) << Qt::endl;
    }

private:
    QString m_folder;
    QPoint m_pressPoint;
};

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    if (argc < 2) {
        QTextStream(stderr) << "usage: dropreceiver FOLDER" << Qt::endl;
        return 2;
    }
    TDropFolder window(QString::fromLocal8Bit(argv[1]));
    window.setWindowTitle(QStringLiteral("dropreceiver"));
    window.show();
    return app.exec();
}
