#pragma once
// A plot channel as the plot's file and read-out rules see it: its title, its
// axis and its entries in x order (a NaN value marks a gap in the line).

#include <QSharedPointer>
#include <QString>
#include <QVector>

#include "qcustomplot.h"
#include "widgets/PlotAxis.h"

struct PlotSeries {
    QString title;
    PlotAxis axis = PlotAxis::Y1;
    QSharedPointer<QCPGraphDataContainer> data;
};

using PlotSeriesList = QVector<PlotSeries>;
