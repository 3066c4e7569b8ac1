#pragma once

#include <QDateTime>
#include <QString>

// The six last-update texts, all from one reading of the clock.
struct Stamp
{
    QString year;   // yyyy
    QString month;  // mm
    QString day;    // dd
    QString hour;   // hh
    QString minute; // nn
    QString second; // ss

    static Stamp at(const QDateTime& when);
    static Stamp now();
};
