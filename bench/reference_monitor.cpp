// The floor of the monitor's visible work, for the program benchmark to compare against: a minimal Qt
// program that shows the same row of labels, updated for every line read from the port, woken only by
// the port's descriptor.
//   bench_reference <serial device>
#include <QApplication>
#include <QLabel>
#include <QSocketNotifier>
#include <QTime>
#include <QWidget>

#include <array>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace {

class ReferenceWindow final : public QWidget {
public:
    explicit ReferenceWindow(int descriptor)
        : m_notifier(descriptor, QSocketNotifier::Read)
        , m_descriptor(descriptor)
    {
        int left = 8;
        for (QLabel*& label : m_labels) {
            label = new QLabel(this);
            label->setFrameStyle(QFrame::Box | QFrame::Plain);
            label->setAlignment(Qt::AlignCenter);
            label->setAutoFillBackground(true);
            label->setGeometry(left, 27, 64, 17);
            left += 70;
        }
        resize(482, 450);
        QObject::connect(&m_notifier, &QSocketNotifier::activated, this, [this] { take(); });
    }

private:
    void take()
    {
        std::array<char, 512> bytes {};
        ssize_t count = 0;
        while ((count = ::read(m_descriptor, bytes.data(), bytes.size())) > 0) {
            for (ssize_t i = 0; i < count; ++i) {
                if (bytes[static_cast<std::size_t>(i)] != '\n') {
                    m_line += bytes[static_cast<std::size_t>(i)];
                    continue;
                }
                showLine(m_line);
                m_line.clear();
            }
        }
    }

    void showLine(const std::string& line)
    {
        char* end = nullptr;
        const double heading = std::strtod(line.c_str(), &end);
        const double pitch = *end == ',' ? std::strtod(end + 1, &end) : 0;
        const double roll = *end == ',' ? std::strtod(end + 1, &end) : 0;
        const double tilt = std::hypot(pitch, roll);
        m_labels[0]->setText(QTime::currentTime().toString(QStringLiteral("hh:mm:ss")));
        m_labels[1]->setText(QString::number(tilt, 'g', 3));
        m_labels[2]->setText(QString::number(std::lround(heading)));
        m_labels[3]->setText(QString::number(pitch, 'g', 7));
        m_labels[4]->setText(QString::number(roll, 'g', 7));
        m_green = !m_green;
        QPalette palette = m_labels[5]->palette();
        palette.setColor(QPalette::Window, m_green ? Qt::green : palette.color(QPalette::Button));
        m_labels[5]->setPalette(palette);
    }

    QSocketNotifier m_notifier;
    int m_descriptor;
    std::array<QLabel*, 6> m_labels {};
    std::string m_line;
    bool m_green = false;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fputs("usage: bench_reference <serial device>\n", stderr);
        return 2;
    }
    QApplication application(argc, argv);
    const int descriptor = ::open(argv[1], O_RDONLY | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0) {
        std::perror(argv[1]);
        return 1;
    }
    termios settings {};
    if (::tcgetattr(descriptor, &settings) == 0) {
        cfmakeraw(&settings);
        cfsetspeed(&settings, B19200);
        ::tcsetattr(descriptor, TCSANOW, &settings);
    }
    ReferenceWindow window(descriptor);
    window.show();
    QCoreApplication::processEvents();
    std::fputs("marlume: window shown\n", stderr);
    std::fflush(stderr);
    return QApplication::exec();
}
