#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <array>

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

    // The stamp's columns, Fi_最終更新年 to Fi_最終更新秒, and its parts in the same order.
    static const QStringList& columns();
    std::array<QString*, 6> parts() { return {&year, &month, &day, &hour, &minute, &second}; }
    std::array<const QString*, 6> parts() const { return {&year, &month, &day, &hour, &minute, &second}; }
};
