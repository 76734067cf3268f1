// draw_schematic: draws the programmer cable's wiring diagram (800 x 581) and
// writes it as a JPEG through libjpeg: app/resources/schematic.jpg is its output.
// The window lays a white note over the top-left corner (8..337, 24..209), so
// nothing is drawn there.
//
//   draw_schematic OUTPUT.jpg
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <cstdio>
#include <vector>

#include <jpeglib.h>

namespace {

const QColor kPaper(255, 255, 255);
const QColor kWire(20, 60, 150);
const QColor kPart(140, 25, 25);
const QColor kBody(255, 247, 214);
const QColor kInk(0, 0, 0);
const QColor kSignal(0, 120, 40);
const QColor kNote(90, 90, 90);

// Pin spacing of the microcontroller, and the rows the three signals run on.
constexpr int kPitch = 22;
constexpr int kMosiY = 202;
constexpr int kMisoY = kMosiY + kPitch;
constexpr int kSckY = kMisoY + kPitch;

class Sheet {
public:
    explicit Sheet(QImage& image) : p_(&image)
    {
        p_.setRenderHint(QPainter::Antialiasing);
        p_.setRenderHint(QPainter::TextAntialiasing);
        // Drawn in the 800 x 581 sheet's units at any resolution (2x for high-DPI screens).
        p_.scale(image.width() / 800.0, image.height() / 581.0);
    }

    void font(int pixels, bool bold = false)
    {
        QFont f(QStringLiteral("DejaVu Sans"));
        f.setPixelSize(pixels);
        f.setBold(bold);
        p_.setFont(f);
    }

    // Text anchored at x by its left edge (align -1), centre (0) or right edge (1), baseline y.
    void text(qreal x, qreal y, const QString& s, int align = -1, const QColor& colour = kInk)
    {
        const qreal w = p_.fontMetrics().horizontalAdvance(s);
        p_.setPen(colour);
        p_.drawText(QPointF(align < 0 ? x : align == 0 ? x - w / 2 : x - w, y), s);
    }

    void wire(std::vector<QPointF> points)
    {
        p_.setPen(QPen(kWire, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p_.drawPolyline(points.data(), int(points.size()));
    }

    void dot(QPointF at)
    {
        p_.setPen(Qt::NoPen);
        p_.setBrush(kWire);
        p_.drawEllipse(at, 3.5, 3.5);
        p_.setBrush(Qt::NoBrush);
    }

    void ground(QPointF at)  // at: the top of the symbol's stem
    {
        wire({at, at + QPointF(0, 10)});
        p_.setPen(QPen(kWire, 2));
        for (int i = 0; i < 3; ++i) {
            const qreal half = 9 - 3 * i;
            const qreal y = at.y() + 10 + 4 * i;
            p_.drawLine(QPointF(at.x() - half, y), QPointF(at.x() + half, y));
        }
    }

    void supply(QPointF at)  // at: the bottom of the stem; the bar and "+5V" above it
    {
        wire({at, at - QPointF(0, 12)});
        p_.setPen(QPen(kWire, 2));
        p_.drawLine(at - QPointF(8, 12), at - QPointF(-8, 12));
        font(11, true);
        text(at.x(), at.y() - 16, QStringLiteral("+5V"), 0, kPart);
    }

    // A capacitor between a and b (horizontal or vertical), its plates at the middle.
    void capacitor(QPointF a, QPointF b)
    {
        const QPointF mid = (a + b) / 2;
        const bool vertical = qFuzzyCompare(a.x(), b.x());
        const QPointF gap = vertical ? QPointF(0, 3) : QPointF(3, 0);
        const QPointF plate = vertical ? QPointF(9, 0) : QPointF(0, 9);
        const QPointF first = a.y() + a.x() < b.y() + b.x() ? a : b;
        const QPointF second = first == a ? b : a;
        wire({first, mid - gap});
        wire({mid + gap, second});
        p_.setPen(QPen(kPart, 2.5));
        p_.drawLine(mid - gap - plate, mid - gap + plate);
        p_.drawLine(mid + gap - plate, mid + gap + plate);
    }

    void resistor(QPointF a, QPointF b)  // horizontal, a box in the middle
    {
        const QPointF mid = (a + b) / 2;
        const QPointF left = a.x() < b.x() ? a : b;
        const QPointF right = left == a ? b : a;
        wire({left, mid - QPointF(14, 0)});
        wire({mid + QPointF(14, 0), right});
        p_.setPen(QPen(kPart, 2));
        p_.setBrush(kBody);
        p_.drawRect(QRectF(mid - QPointF(14, 5), QSizeF(28, 10)));
        p_.setBrush(Qt::NoBrush);
    }

    void crystal(QPointF a, QPointF b)  // horizontal
    {
        const QPointF mid = (a + b) / 2;
        wire({a, mid - QPointF(9, 0)});
        wire({mid + QPointF(9, 0), b});
        p_.setPen(QPen(kPart, 2));
        p_.drawLine(mid + QPointF(-9, -9), mid + QPointF(-9, 9));
        p_.drawLine(mid + QPointF(9, -9), mid + QPointF(9, 9));
        p_.setBrush(kBody);
        p_.drawRect(QRectF(mid - QPointF(5, 8), QSizeF(10, 16)));
        p_.setBrush(Qt::NoBrush);
    }

    void pushSwitch(QPointF top, QPointF bottom)  // vertical, open contact
    {
        const QPointF upper = top + QPointF(0, 18);
        const QPointF lower = bottom - QPointF(0, 18);
        wire({top, upper});
        wire({lower, bottom});
        dot(upper);
        dot(lower);
        p_.setPen(QPen(kPart, 2.5, Qt::SolidLine, Qt::RoundCap));
        p_.drawLine(lower, upper + QPointF(14, 4));
    }

    void body(const QRectF& r)
    {
        p_.setPen(QPen(kPart, 2));
        p_.setBrush(kBody);
        p_.drawRect(r);
        p_.setBrush(Qt::NoBrush);
    }

    // A pin: a stub from `from` to `to` with its number beside the stub.
    void pin(QPointF from, QPointF to, int number)
    {
        wire({from, to});
        font(10);
        const QPointF mid = (from + to) / 2;
        if (qFuzzyCompare(from.y(), to.y()))
            text(mid.x(), mid.y() - 3, QString::number(number), 0, kNote);
        else
            text(mid.x() + 3, mid.y() + 4, QString::number(number), -1, kNote);
    }

    // An inverting buffer pointing right (dir 1) or left (dir -1).
    void inverter(QPointF centre, int dir)
    {
        QPainterPath path;
        path.moveTo(centre + QPointF(-8 * dir, -7));
        path.lineTo(centre + QPointF(6 * dir, 0));
        path.lineTo(centre + QPointF(-8 * dir, 7));
        path.closeSubpath();
        p_.setPen(QPen(kPart, 1.5));
        p_.drawPath(path);
        p_.drawEllipse(centre + QPointF(9 * dir, 0), 3, 3);
    }

    QPainter& painter() { return p_; }

private:
    QPainter p_;
};

void drawConnector(Sheet& s)
{
    // The female 9-pin connector, drawn in the order that lets its three lines run
    // straight to the MAX232: 5, 9, 4, 8, 3, 7, 2, 6, 1 from the top.
    struct Pin {
        int number;
        const char* name;
    };
    const Pin pins[9] = {{5, "GND"}, {9, "RI"},  {4, "DTR"}, {8, "CTS"}, {3, "TXD"},
                         {7, "RTS"}, {2, "RXD"}, {6, "DSR"}, {1, "DCD"}};
    QPainterPath shell;
    shell.moveTo(66, 244);
    shell.lineTo(118, 236);
    shell.lineTo(118, 512);
    shell.lineTo(66, 504);
    shell.closeSubpath();
    s.painter().setPen(QPen(kPart, 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    s.painter().setBrush(kBody);
    s.painter().drawPath(shell);
    s.painter().setBrush(Qt::NoBrush);
    s.font(13, true);
    s.text(92, 228, QStringLiteral("J1"), 0);
    s.font(11);
    s.text(92, 532, QStringLiteral("DB9 female"), 0);
    s.text(92, 547, QStringLiteral("to the PC's serial port"), 0, kNote);
    for (int i = 0; i < 9; ++i) {
        const qreal y = 262 + 28 * i;
        const qreal socket = pins[i].number <= 5 ? 84 : 102;
        s.font(12);
        s.text(58, y + 4, QStringLiteral("%1  %2").arg(QLatin1String(pins[i].name)).arg(pins[i].number), 1);
        s.wire({QPointF(socket + 4, y), QPointF(150, y)});
        s.painter().setPen(QPen(kPart, 1.5));
        s.painter().setBrush(kPaper);
        s.painter().drawEllipse(QPointF(socket, y), 4, 4);
        s.painter().setBrush(Qt::NoBrush);
    }
    s.ground(QPointF(175, 262));
    s.wire({QPointF(150, 262), QPointF(175, 262)});
}

void drawMax232(Sheet& s)
{
    const QRectF r(405, 150, 130, 162);
    s.body(r);
    s.font(13, true);
    s.text(r.center().x(), 272, QStringLiteral("U1"), 0);
    s.text(r.center().x(), 287, QStringLiteral("MAX232"), 0);

    // Four channels a row each: RS-232 side on the left, logic side on the right.
    struct Row {
        qreal y;
        int leftPin;
        const char* left;
        int rightPin;
        const char* right;
        int dir;
    };
    const Row rows[4] = {{180, 7, "T2OUT", 10, "T2IN", -1},
                         {kMosiY, 8, "R2IN", 9, "R2OUT", 1},
                         {kMisoY, 14, "T1OUT", 11, "T1IN", -1},
                         {kSckY, 13, "R1IN", 12, "R1OUT", 1}};
    for (const Row& row : rows) {
        s.pin(QPointF(380, row.y), QPointF(r.left(), row.y), row.leftPin);
        s.pin(QPointF(r.right(), row.y), QPointF(r.right() + 25, row.y), row.rightPin);
        s.font(10);
        s.text(r.left() + 4, row.y + 4, QLatin1String(row.left));
        s.text(r.right() - 4, row.y + 4, QLatin1String(row.right), 1);
        s.inverter(QPointF(r.center().x(), row.y), row.dir);
    }

    // Charge pump and supply pins on top, the pump outputs and ground below.
    const int topPins[5] = {1, 3, 4, 5, 16};
    const char* topNames[5] = {"C1+", "C1-", "C2+", "C2-", "VCC"};
    for (int i = 0; i < 5; ++i) {
        const qreal x = 420 + 26 * i;
        s.pin(QPointF(x, 128), QPointF(x, r.top()), topPins[i]);
        s.font(9);
        s.text(x, r.top() + 12, QLatin1String(topNames[i]), 0);
    }
    s.wire({QPointF(420, 128), QPointF(420, 118)});
    s.wire({QPointF(446, 128), QPointF(446, 118)});
    s.capacitor(QPointF(420, 118), QPointF(446, 118));
    s.wire({QPointF(472, 128), QPointF(472, 118)});
    s.wire({QPointF(498, 128), QPointF(498, 118)});
    s.capacitor(QPointF(472, 118), QPointF(498, 118));
    s.font(11);
    s.text(433, 92, QStringLiteral("C1"), 0);
    s.text(433, 104, QStringLiteral("1uF"), 0);
    s.text(485, 92, QStringLiteral("C2"), 0);
    s.text(485, 104, QStringLiteral("1uF"), 0);
    s.supply(QPointF(524, 128));

    const int bottomPins[3] = {2, 6, 15};
    const char* bottomNames[3] = {"V+", "V-", "GND"};
    const qreal bottomX[3] = {415, 450, 490};
    for (int i = 0; i < 3; ++i) {
        s.pin(QPointF(bottomX[i], r.bottom()), QPointF(bottomX[i], 330), bottomPins[i]);
        s.font(9);
        s.text(bottomX[i], r.bottom() - 4, QLatin1String(bottomNames[i]), 0);
    }
    s.capacitor(QPointF(415, 330), QPointF(415, 358));
    s.ground(QPointF(415, 358));
    s.capacitor(QPointF(450, 330), QPointF(450, 358));
    s.ground(QPointF(450, 358));
    s.ground(QPointF(490, 330));
    s.font(11);
    s.text(415, 395, QStringLiteral("C3"), 0);
    s.text(415, 407, QStringLiteral("1uF"), 0);
    s.text(450, 395, QStringLiteral("C4"), 0);
    s.text(450, 407, QStringLiteral("1uF"), 0);
}

void drawMicrocontroller(Sheet& s)
{
    const qreal top = 80;
    const QRectF r(630, top, 110, 20 * kPitch);
    s.body(r);
    s.font(13, true);
    s.text(r.center().x(), top - 8, QStringLiteral("U2  AT89Sxx"), 0);
    const char* left[20] = {"P1.0", "P1.1", "P1.2", "P1.3", "P1.4", "P1.5", "P1.6", "P1.7",  "RST",   "P3.0",
                            "P3.1", "P3.2", "P3.3", "P3.4", "P3.5", "P3.6", "P3.7", "XTAL2", "XTAL1", "GND"};
    const char* right[20] = {"VCC", "P0.0", "P0.1", "P0.2", "P0.3", "P0.4", "P0.5", "P0.6", "P0.7", "EA/VPP",
                             "ALE", "PSEN", "P2.7", "P2.6", "P2.5", "P2.4", "P2.3", "P2.2", "P2.1", "P2.0"};
    for (int i = 0; i < 20; ++i) {
        const qreal y = top + kPitch / 2.0 + kPitch * i;
        s.pin(QPointF(600, y), QPointF(r.left(), y), i + 1);
        s.pin(QPointF(r.right(), y), QPointF(r.right() + 24, y), 40 - i);
        s.font(11);
        s.text(r.left() + 4, y + 4, QLatin1String(left[i]));
        s.text(r.right() - 4, y + 4, QLatin1String(right[i]), 1);
    }
    // VCC and EA/VPP (internal program memory) to +5V.
    const qreal vccY = top + kPitch / 2.0;
    const qreal eaY = vccY + 9 * kPitch;
    s.wire({QPointF(764, vccY), QPointF(782, vccY), QPointF(782, 70)});
    s.wire({QPointF(764, eaY), QPointF(782, eaY), QPointF(782, vccY)});
    s.dot(QPointF(782, vccY));
    s.supply(QPointF(782, 70));
    // Ground.
    const qreal gndY = vccY + 19 * kPitch;
    s.wire({QPointF(600, gndY), QPointF(612, gndY)});
    s.ground(QPointF(612, gndY));
}

void drawSignals(Sheet& s)
{
    // Connector -> MAX232: DTR, CTS, RTS up to their rows.
    const qreal lanes[3] = {345, 357, 369};
    const qreal from[3] = {318, 346, 402};
    const qreal to[3] = {kMosiY, kMisoY, kSckY};
    for (int i = 0; i < 3; ++i)
        s.wire({QPointF(150, from[i]), QPointF(lanes[i], from[i]), QPointF(lanes[i], to[i]), QPointF(380, to[i])});
    s.font(12, true);
    s.text(200, 313, QStringLiteral("DTR"), -1, kSignal);
    s.text(200, 341, QStringLiteral("CTS"), -1, kSignal);
    s.text(200, 397, QStringLiteral("RTS"), -1, kSignal);

    // MAX232 -> microcontroller: MOSI on P1.5, MISO on P1.6, SCK on P1.7.
    for (qreal y : {qreal(kMosiY), qreal(kMisoY), qreal(kSckY)})
        s.wire({QPointF(560, y), QPointF(600, y)});
    s.font(12, true);
    s.text(580, kMosiY - 4, QStringLiteral("MOSI"), 0, kSignal);
    s.text(580, kMisoY - 4, QStringLiteral("MISO"), 0, kSignal);
    s.text(580, kSckY - 4, QStringLiteral("SCK"), 0, kSignal);
}

void drawResetAndClock(Sheet& s)
{
    // RST: pulled up by 10k, SW1 to ground. Open: RST high, the chip can be programmed.
    const qreal rstY = 80 + kPitch / 2.0 + 8 * kPitch;
    const QPointF junction(585, 340);
    s.wire({QPointF(600, rstY), QPointF(585, rstY), junction});
    s.dot(junction);
    s.resistor(QPointF(530, 340), junction);
    s.supply(QPointF(530, 340));
    s.font(11);
    s.text(557, 360, QStringLiteral("R1 10k"), 0);
    s.pushSwitch(junction, QPointF(585, 420));
    s.ground(QPointF(585, 420));
    s.font(12, true);
    s.text(574, 394, QStringLiteral("SW1"), 1);
    s.font(10);
    s.text(574, 407, QStringLiteral("reset"), 1, kNote);
    s.text(440, 436, QStringLiteral("SW1 open: programming"), -1, kNote);
    s.text(440, 449, QStringLiteral("SW1 closed: run"), -1, kNote);

    // 12 MHz crystal between XTAL1 and XTAL2, 33 pF from each to ground.
    const qreal xtal2 = 80 + kPitch / 2.0 + 17 * kPitch;
    const qreal xtal1 = xtal2 + kPitch;
    const QPointF a(505, 522), b(565, 522);
    s.wire({QPointF(600, xtal2), QPointF(505, xtal2), a});
    s.wire({QPointF(600, xtal1), QPointF(565, xtal1), b});
    s.crystal(a, b);
    s.dot(a);
    s.dot(b);
    s.capacitor(a, QPointF(505, 552));
    s.ground(QPointF(505, 552));
    s.capacitor(b, QPointF(565, 552));
    s.ground(QPointF(565, 552));
    s.font(11);
    s.text(535, 507, QStringLiteral("X1 12MHz"), 0);
    s.text(495, 538, QStringLiteral("C5"), 1);
    s.text(495, 550, QStringLiteral("33pF"), 1);
    s.text(575, 538, QStringLiteral("C6"));
    s.text(575, 550, QStringLiteral("33pF"));
}

bool writeJpeg(const QImage& image, const char* path)
{
    FILE* out = std::fopen(path, "wb");
    if (!out)
        return false;
    jpeg_compress_struct info{};
    jpeg_error_mgr errors{};
    info.err = jpeg_std_error(&errors);  // a failure here exits the tool, which is fine
    jpeg_create_compress(&info);
    jpeg_stdio_dest(&info, out);
    info.image_width = JDIMENSION(image.width());
    info.image_height = JDIMENSION(image.height());
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 92, TRUE);
    jpeg_start_compress(&info, TRUE);
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    while (info.next_scanline < info.image_height) {
        JSAMPROW row = const_cast<uchar*>(rgb.constScanLine(int(info.next_scanline)));
        jpeg_write_scanlines(&info, &row, 1);
    }
    jpeg_finish_compress(&info);
    jpeg_destroy_compress(&info);
    return std::fclose(out) == 0;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: draw_schematic OUTPUT.jpg [OUTPUT@2x.jpg]\n");
        return 2;
    }
    for (int scale = 1; scale < argc; ++scale) {
        QImage image(800 * scale, 581 * scale, QImage::Format_RGB32);
        image.fill(kPaper);
        {
            Sheet s(image);
            s.font(17, true);
            s.text(790, 30, QStringLiteral("Kestova ISP programmer: the serial cable"), 1, kPart);
            drawConnector(s);
            drawMax232(s);
            drawMicrocontroller(s);
            drawSignals(s);
            drawResetAndClock(s);
        }
        if (!writeJpeg(image, argv[scale])) {
            std::fprintf(stderr, "draw_schematic: cannot write %s\n", argv[scale]);
            return 1;
        }
    }
    return 0;
}
