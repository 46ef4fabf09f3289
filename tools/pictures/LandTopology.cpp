#include "LandTopology.h"

#include <algorithm>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

using TArcs = QList<QPolygonF>;

TArcs DecodeArcs(const QJsonObject& Topology)
{
    const QJsonObject Transform = Topology.value("transform").toObject();
    const bool Quantised = !Transform.isEmpty();
    const QJsonArray Scale = Transform.value("scale").toArray();
    const QJsonArray Translate = Transform.value("translate").toArray();
    const double ScaleX = Quantised ? Scale.at(0).toDouble() : 1.0;
    const double ScaleY = Quantised ? Scale.at(1).toDouble() : 1.0;
    const double TranslateX = Quantised ? Translate.at(0).toDouble() : 0.0;
    const double TranslateY = Quantised ? Translate.at(1).toDouble() : 0.0;

    TArcs Arcs;
    for (const QJsonValue& ArcValue : Topology.value("arcs").toArray()) {
        QPolygonF Arc;
        double X = 0, Y = 0;
        for (const QJsonValue& PointValue : ArcValue.toArray()) {
            const QJsonArray Point = PointValue.toArray();
            if (Point.size() < 2)
                throw ETopologyError("arc point with fewer than two coordinates");
            // Quantised arcs store each point as the step from the previous one.
            if (Quantised) {
                X += Point.at(0).toDouble();
                Y += Point.at(1).toDouble();
            } else {
                X = Point.at(0).toDouble();
                Y = Point.at(1).toDouble();
            }
            Arc << QPointF(X * ScaleX + TranslateX, Y * ScaleY + TranslateY);
        }
        Arcs << Arc;
    }
    return Arcs;
}

QPolygonF DecodeRing(const QJsonArray& ArcIndexes, const TArcs& Arcs)
{
    QPolygonF Ring;
    for (const QJsonValue& IndexValue : ArcIndexes) {
        const int Index = IndexValue.toInt();
        // A negative index ~i names arc i walked backwards.
        const int ArcIndex = Index >= 0 ? Index : ~Index;
        if (ArcIndex >= Arcs.size())
            throw ETopologyError("arc index out of range");
        QPolygonF Arc = Arcs.at(ArcIndex);
        if (Index < 0)
            std::reverse(Arc.begin(), Arc.end());
        // Consecutive arcs share their joining point.
        Ring << (Ring.isEmpty() ? Arc : Arc.mid(1));
    }
    return Ring;
}

TLandPolygon DecodePolygon(const QJsonArray& Rings, const TArcs& Arcs)
{
    TLandPolygon Polygon;
    for (const QJsonValue& Ring : Rings)
        Polygon << DecodeRing(Ring.toArray(), Arcs);
    return Polygon;
}

void DecodeGeometry(const QJsonObject& Geometry, const TArcs& Arcs, QList<TLandPolygon>& Polygons)
{
    const QString Type = Geometry.value("type").toString();
    if (Type == "GeometryCollection") {
        for (const QJsonValue& Child : Geometry.value("geometries").toArray())
            DecodeGeometry(Child.toObject(), Arcs, Polygons);
    } else if (Type == "Polygon") {
        Polygons << DecodePolygon(Geometry.value("arcs").toArray(), Arcs);
    } else if (Type == "MultiPolygon") {
        for (const QJsonValue& Polygon : Geometry.value("arcs").toArray())
            Polygons << DecodePolygon(Polygon.toArray(), Arcs);
    }
    // Points and lines carry no land area.
}

} // namespace

TLandTopology TLandTopology::FromJson(const QByteArray& Json, const QString& ObjectName)
{
    QJsonParseError Error;
    const QJsonDocument Document = QJsonDocument::fromJson(Json, &Error);
    if (Document.isNull())
        throw ETopologyError("not a JSON document: " + Error.errorString().toStdString());
    const QJsonObject Topology = Document.object();
    if (Topology.value("type").toString() != "Topology")
        throw ETopologyError("not a TopoJSON topology");
    const QJsonValue Object = Topology.value("objects").toObject().value(ObjectName);
    if (!Object.isObject())
        throw ETopologyError("the topology has no object \"" + ObjectName.toStdString() + "\"");

    TLandTopology Result;
    DecodeGeometry(Object.toObject(), DecodeArcs(Topology), Result.FPolygons);
    return Result;
}

QPolygonF TLandTopology::FlatRing(const QPolygonF& Ring)
{
    if (Ring.size() < 3)
        return {};
    double South = Ring.first().y(), North = South;
    QPolygonF Flat;
    Flat << Ring.first();
    for (qsizetype Index = 1; Index < Ring.size(); ++Index) {
        QPointF Point = Ring.at(Index);
        const double Step = Point.x() - Ring.at(Index - 1).x();
        // The shorter way round: a step of more than half the globe crossed the antimeridian.
        const double Shift = Flat.last().x() - Ring.at(Index - 1).x() +
                             (Step > 180    ? -360
                              : Step < -180 ? 360
                                            : 0);
        Point.rx() += Shift;
        Flat << Point;
        South = qMin(South, Point.y());
        North = qMax(North, Point.y());
    }
    if (North - South < 1e-6)
        return {};
    const double Turn = Flat.last().x() - Flat.first().x();
    if (qAbs(Turn) > 180) {
        // Around a pole: walk down the last meridian to the pole, along it and back up the first one.
        const double Pole = North + South > 0 ? 90 : -90;
        Flat << QPointF(Flat.last().x(), Pole) << QPointF(Flat.first().x(), Pole);
    }
    return Flat;
}

TLandTopology TLandTopology::FromFile(const QString& FileName, const QString& ObjectName)
{
    QFile File(FileName);
    if (!File.open(QIODevice::ReadOnly))
        throw ETopologyError("cannot read " + FileName.toStdString());
    return FromJson(File.readAll(), ObjectName);
}
