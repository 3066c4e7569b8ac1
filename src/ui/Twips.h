#pragma once

#include <QColor>
#include <QRect>

// Layouts are designed in twips; 15 twips make one device-independent pixel.
constexpr int Tw(int twips)
{
    return twips >= 0 ? (twips + 7) / 15 : -((-twips + 7) / 15);
}

inline QRect TwRect(int left, int top, int width, int height)
{
    return QRect(Tw(left), Tw(top), Tw(width), Tw(height));
}

// The client size shared by every main screen.
inline constexpr int kScreenWidthTw = 11715;
inline constexpr int kScreenHeightTw = 8100;

namespace Colors {
inline const QColor LightCyan{192, 255, 255};
inline const QColor LightRed{255, 192, 192};
inline const QColor LightBlue{192, 192, 255};
inline const QColor LightYellow{255, 255, 192};
inline const QColor LightGrey{224, 224, 224};
inline const QColor White{255, 255, 255};
inline const QColor Grey{128, 128, 128};
inline const QColor Silver{192, 192, 192};
} // namespace Colors
