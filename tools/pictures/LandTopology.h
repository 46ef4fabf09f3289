#pragma once

#include <QByteArray>
#include <QList>
#include <QPolygonF>
#include <QString>
#include <stdexcept>

// One land polygon: its outer ring first, then its holes; points are (longitude, latitude) in degrees.
using TLandPolygon = QList<QPolygonF>;

class ETopologyError : public std::runtime_error
{
public:
    using std::runtime_error::runtime_error;
};

// The polygons of one object of a TopoJSON topology (quantised, delta-encoded arcs).
class TLandTopology
{
public:
    static TLandTopology FromJson(const QByteArray& Json, const QString& ObjectName);
    static TLandTopology FromFile(const QString& FileName, const QString& ObjectName);

    const QList<TLandPolygon>& Polygons() const { return FPolygons; }

    // A ring made continuous for a flat map: longitudes never jump across the antimeridian (they may run
    // past +-180, so draw the ring shifted by 360 too), and a ring around a pole is closed through that
    // pole. A ring with no extent in latitude comes back empty.
    static QPolygonF FlatRing(const QPolygonF& Ring);

private:
    QList<TLandPolygon> FPolygons;
};
