#include "ui/windows/DraggableWidget.h"

#include <QMouseEvent>
#include <QTest>
#include <QVBoxLayout>

// A frameless window whose top band is the drag strip, driven with events at
// exact global positions.
class DraggableWidgetTest : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void leftDragMovesTheWindowByTheCursorOffset();
    void movesWithoutAPressDoNothing();
    void otherButtonsNeitherStartNorEndADrag();

private:
    QWidget *m_window = nullptr;
    DraggableWidget *m_strip = nullptr;

    void send(QEvent::Type type, QPointF global, Qt::MouseButton button, Qt::MouseButtons held);
};

void DraggableWidgetTest::init()
{
    m_window = new QWidget(nullptr, Qt::FramelessWindowHint);
    m_window->setGeometry(200, 150, 400, 300);
    auto *host = new QWidget(m_window);
    host->setGeometry(5, 0, 390, 61);
    m_strip = new DraggableWidget(m_window);
    m_strip->setGeometry(0, 0, 100, 50);
    auto *layout = new QVBoxLayout(host);
    layout->addWidget(m_strip);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window));
}

void DraggableWidgetTest::cleanup()
{
    delete m_window;
    m_window = nullptr;
}

void DraggableWidgetTest::send(QEvent::Type type, QPointF global, Qt::MouseButton button,
                               Qt::MouseButtons held)
{
    QMouseEvent event(type, m_strip->mapFromGlobal(global), global, button, held, Qt::NoModifier);
    QApplication::sendEvent(m_strip, &event);
}

void DraggableWidgetTest::leftDragMovesTheWindowByTheCursorOffset()
{
    QVERIFY(m_strip->hasMouseTracking());
    const QPoint start = m_window->frameGeometry().topLeft();
    const QPointF press = m_strip->mapToGlobal(QPointF(20, 10));
    send(QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseMove, press + QPointF(40, 25), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(m_window->frameGeometry().topLeft(), start + QPoint(40, 25));
    // Each move is measured from the press, not added to the last one; halves round away from zero.
    send(QEvent::MouseMove, press + QPointF(-300.5, 10.4), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(m_window->frameGeometry().topLeft(), start + QPoint(-301, 10));
    send(QEvent::MouseButtonRelease, press + QPointF(-300.5, 10.4), Qt::LeftButton, Qt::NoButton);
    send(QEvent::MouseMove, press + QPointF(0, 0), Qt::NoButton, Qt::NoButton);
    QCOMPARE(m_window->frameGeometry().topLeft(), start + QPoint(-301, 10));
}

void DraggableWidgetTest::movesWithoutAPressDoNothing()
{
    const QPoint start = m_window->frameGeometry().topLeft();
    const QPointF at = m_strip->mapToGlobal(QPointF(20, 10));
    send(QEvent::MouseMove, at, Qt::NoButton, Qt::NoButton);
    send(QEvent::MouseMove, at + QPointF(40, 25), Qt::NoButton, Qt::NoButton);
    QCOMPARE(m_window->frameGeometry().topLeft(), start);
}

void DraggableWidgetTest::otherButtonsNeitherStartNorEndADrag()
{
    const QPoint start = m_window->frameGeometry().topLeft();
    const QPointF press = m_strip->mapToGlobal(QPointF(20, 10));
    send(QEvent::MouseButtonPress, press, Qt::RightButton, Qt::RightButton);
    send(QEvent::MouseMove, press + QPointF(40, 25), Qt::NoButton, Qt::RightButton);
    QCOMPARE(m_window->frameGeometry().topLeft(), start);
    send(QEvent::MouseButtonRelease, press + QPointF(40, 25), Qt::RightButton, Qt::NoButton);

    send(QEvent::MouseButtonPress, press, Qt::LeftButton, Qt::LeftButton);
    send(QEvent::MouseButtonRelease, press, Qt::RightButton, Qt::LeftButton);
    send(QEvent::MouseMove, press + QPointF(-7, 3), Qt::NoButton, Qt::LeftButton);
    QCOMPARE(m_window->frameGeometry().topLeft(), start + QPoint(-7, 3));
}

QTEST_MAIN(DraggableWidgetTest)
#include "DraggableWidgetTest.moc"
