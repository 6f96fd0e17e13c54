#include "engine/PreviewWindow.h"
#include "engine/ui/Previewer.h"

#include <QApplication>
#include <QPointer>
#include <QtTest>
#include <atomic>
#include <thread>

namespace {

QImage SolidBitmap(int width, int height, QColor colour)
{
    QImage bitmap(width, height, QImage::Format_BGR888);
    bitmap.fill(colour);
    return bitmap;
}

// Runs work on a thread of its own while the main thread keeps running the
// calls that thread queues to it, as the program's event loop would.
void RunOnWorker(const std::function<void()>& work)
{
    std::atomic<bool> done{false};
    std::thread worker([&] {
        work();
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    worker.join();
}

} // namespace

class TestPreviewer : public QObject
{
    Q_OBJECT

private slots:
    void firstFrameFromWorkerCreatesTheWindowInTheMainThread()
    {
        TPreviewer previewer;
        bool shown = false;
        RunOnWorker([&] { shown = previewer.ShowFrame(SolidBitmap(64, 48, Qt::red), 1, 62'345'000); });

        QVERIFY(shown);
        TPreviewerForm* form = previewer.Form();
        QVERIFY(form);
        QCOMPARE(form->thread(), qApp->thread());
        QVERIFY(form->isVisible());
        QCOMPARE(form->size(), QSize(64, 48));
        QCOMPARE(form->windowTitle(), QString("00:01:02.345"));
        QVERIFY(form->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
        QCOMPARE(form->windowFlags() & Qt::WindowType_Mask, Qt::Tool);
        QVERIFY(!form->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
        QVERIFY(!form->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    }

    void eachFrameIsDrawnAtTheOriginAndRetitled()
    {
        TPreviewer previewer;
        QImage bitmap = SolidBitmap(40, 30, Qt::blue);
        QVERIFY(previewer.ShowFrame(bitmap, 1, 0));
        bitmap.fill(Qt::green); // the task reuses its bitmap: the window must hold its own copy
        QVERIFY(previewer.ShowFrame(SolidBitmap(40, 30, Qt::yellow), 2, 3'600'000'000LL + 1000));

        TPreviewerForm* form = previewer.Form();
        QCOMPARE(form->windowTitle(), QString("01:00:00.001"));
        const QImage drawn = form->grab().toImage();
        QCOMPARE(QColor(drawn.pixel(0, 0)), QColor(Qt::yellow));
        QCOMPARE(QColor(drawn.pixel(39, 29)), QColor(Qt::yellow));
    }

    void closedByTheUserShowsNothingMore()
    {
        TPreviewer previewer;
        QVERIFY(previewer.ShowFrame(SolidBitmap(32, 32, Qt::red), 1, 0));
        QPointer<TPreviewerForm> form = previewer.Form();
        QVERIFY(form->close());
        QVERIFY(!form->isVisible());

        bool shown = true;
        RunOnWorker([&] { shown = previewer.ShowFrame(SolidBitmap(32, 32, Qt::blue), 2, 40'000); });
        QVERIFY(!shown);
        QCOMPARE(previewer.Form(), form.data()); // not created again
        QVERIFY(!form->isVisible());
        QCOMPARE(form->windowTitle(), QString("00:00:00.000"));
    }

    void freedOnTheWorkerTheWindowGoesInTheMainThread()
    {
        auto previewer = std::make_unique<TPreviewer>();
        QVERIFY(previewer->ShowFrame(SolidBitmap(16, 16, Qt::red), 1, 0));
        QPointer<TPreviewerForm> form = previewer->Form();
        RunOnWorker([&] { previewer.reset(); });
        QVERIFY(form.isNull());
    }

    void leftButtonDragsTheWindow()
    {
        TPreviewer previewer;
        QVERIFY(previewer.ShowFrame(SolidBitmap(50, 50, Qt::red), 1, 0));
        TPreviewerForm* form = previewer.Form();
        form->move(100, 100);
        const QPoint start = form->pos();
        const QPointF inside(10, 10);
        const QPointF pressedAt = form->mapToGlobal(inside);
        QMouseEvent press(QEvent::MouseButtonPress, inside, pressedAt, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(form, &press);
        const QPointF movedTo = pressedAt + QPointF(20, 30);
        QMouseEvent move(QEvent::MouseMove, form->mapFromGlobal(movedTo), movedTo, Qt::NoButton,
                         Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form, &move);
        QMouseEvent release(QEvent::MouseButtonRelease, form->mapFromGlobal(movedTo), movedTo, Qt::LeftButton,
                            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(form, &release);
        QCOMPARE(form->pos(), start + QPoint(20, 30));
    }

    void installedFactoryMakesPreviewers()
    {
        SetPreviewWindowFactory({});
        QVERIFY(!CreatePreviewWindow());
        InstallPreviewer();
        std::unique_ptr<IPreviewWindow> window = CreatePreviewWindow();
        QVERIFY(dynamic_cast<TPreviewer*>(window.get()));
        SetPreviewWindowFactory({});
    }
};

QTEST_MAIN(TestPreviewer)
#include "test_previewer.moc"
