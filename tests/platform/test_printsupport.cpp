// SPDX-License-Identifier: GPL-3.0-or-later
// Qt's print support through the module the program loads when it first wants
// a printer: found beside the program, and its printer prints a PDF file.
#include "platform/printsupport.h"

#include <QFile>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

TEST(PrintSupport, ModuleBesideTheProgramPrintsToPdf)
{
    PrintSupport* ps = printSupport();
    ASSERT_NE(ps, nullptr) << printSupportError().toStdString();
    EXPECT_TRUE(printSupportError().isEmpty());
    EXPECT_EQ(printSupport(), ps);  // loaded once

    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString pdf = dir.filePath("out.pdf");
    QPrinter* printer = ps->newPrinter();
    ASSERT_NE(printer, nullptr);
    EXPECT_EQ(ps->state(*printer), PrintSupport::State::Idle);
    printer->setOutputFormat(QPrinter::PdfFormat);
    printer->setOutputFileName(pdf);
    EXPECT_TRUE(ps->printsToPdf(*printer));
    EXPECT_EQ(ps->outputFileName(*printer), pdf);
    ps->setDocName(*printer, "Job");
    EXPECT_EQ(printer->docName(), "Job");
    const QSizeF page = ps->paintSize(*printer);
    EXPECT_GT(page.width(), 0);
    EXPECT_GT(page.height(), page.width());  // portrait

    {
        QPainter painter;
        ASSERT_TRUE(painter.begin(ps->device(printer)));
        EXPECT_EQ(ps->state(*printer), PrintSupport::State::Active);
        painter.drawText(QPointF(100, 100), "first page");
        EXPECT_TRUE(ps->newPage(*printer));
        painter.drawText(QPointF(100, 100), "second page");
    }
    EXPECT_EQ(ps->state(*printer), PrintSupport::State::Idle);
    ps->deletePrinter(printer);
    QFile out(pdf);
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    const QByteArray bytes = out.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF"));
    EXPECT_TRUE(bytes.contains("%%EOF"));
}
