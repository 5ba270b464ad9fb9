#pragma once
// The byte array of every command packet and of a packed Contact ID, with the few
// routines that fill and copy such arrays, and a case-insensitive list lookup.
#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <initializer_list>
#include <vector>

// A dynamic array of bytes, indexed from 0. A new array of n elements is zero-filled:
// tduomenys(63).
using tduomenys = std::vector<std::uint8_t>;

// Every element of A becomes B; an empty A stays empty.
void FillBytes(tduomenys& A, std::uint8_t B);

// Copies Src[0], Src[1], ... into A[Start], A[Start + 1], ... while the target index lies
// inside A and the source index inside Src. A keeps its length; a negative Start skips
// the source bytes that would land before A[0], a Start at or past the end copies nothing.
void CopyBytesInto(tduomenys& A, const tduomenys& Src, int Start);

// The first index of Items that equals S without regard to ASCII letter case; -1 when
// there is none.
int IndexOfText(const QByteArray& S, const QList<QByteArray>& Items);
int IndexOfText(const QByteArray& S, std::initializer_list<QByteArray> Items);
int IndexOfText(const QString& S, const QStringList& Items);
