#include <gtest/gtest.h>

#include "capture/day_basket.h"
#include "capture/price_record.h"
#include "capture/record_list.h"
#include "capture/statements.h"

namespace {

using capture::PriceRecord;

TEST(RecordTypes, BasketAndRecordListAreNumberedFromOneAndCheckTheirBounds) {
  capture::DayBasket basket;
  EXPECT_FALSE(basket.at(1));
  for (int i = 1; i <= 250; ++i) basket.add({i, 100 + i, 200 + i});
  EXPECT_EQ(basket.size(), 250);
  EXPECT_EQ(basket.at(1)->product, 1);
  EXPECT_EQ(basket.at(250)->origin, 450);
  EXPECT_FALSE(basket.at(0));
  EXPECT_FALSE(basket.at(251));

  capture::RecordList records;
  const std::int64_t big = 5'000'000'000;
  for (int i = 0; i < 400; ++i) records.append(big + i);
  EXPECT_FALSE(records.keyAt(401));
  EXPECT_FALSE(records.keyAt(0));
  records.remove(2);
  EXPECT_EQ(records.count(), 399);
  EXPECT_EQ(records.keyAt(1), big);
  EXPECT_EQ(records.keyAt(2), big + 2) << "the gap is closed";
  records.remove(0);
  records.remove(400);
  EXPECT_EQ(records.count(), 399);
}

TEST(RecordTypes, AmountsLoseTheirCommasAndAnEmptyBoxIsZero) {
  EXPECT_EQ(capture::amountOf("1,250.50"), "1250.50");
  EXPECT_EQ(capture::amountOf(""), "0");
  EXPECT_EQ(capture::amountOf("12"), "12");
  EXPECT_EQ(capture::amountOf(".5"), ".5");
  for (const char* wrong : {"abc", "1.2.3", "-5", "-", "+3", "$12", "1 2", "1e3"}) {
    EXPECT_FALSE(capture::amountOf(wrong)) << wrong;
  }
}

// The first failing check is the one reported; a zero turns the checks that need it off.
TEST(RecordTypes, ThePriceChecksRunInOrder) {
  const auto check = [](const char* minimum, const char* maximum, const char* frequent) {
    PriceRecord record;
    record.minimum = minimum, record.maximum = maximum, record.frequent = frequent;
    const auto failure = capture::priceCheckFailure(record);
    return failure ? std::optional(failure->message) : std::nullopt;
  };
  using Failure = std::optional<std::string>;
  EXPECT_EQ(check("0", "0", "0"), Failure("¡Faltan precios!"));
  EXPECT_EQ(check("12", "12", "15"), Failure("¡Máximo es igual que mínimo!"));
  EXPECT_EQ(check("12", "10", "15"), Failure("¡Mínimo es mayor que máximo!"));
  EXPECT_EQ(check("10", "12", "15"), Failure("¡Frecuente es mayor que máximo!"));
  EXPECT_EQ(check("10", "12", "8"), Failure("¡Frecuente es menor que mínimo!"));
  for (const auto& [minimum, maximum, frequent] :
       {std::tuple{"10", "0", "0"}, std::tuple{"10", "12", "0"}, std::tuple{"0", "0", "25"},
        std::tuple{"10", "12", "11"}, std::tuple{"1250.50", "1300", "1250.50"}}) {
    EXPECT_EQ(check(minimum, maximum, frequent), std::nullopt)
        << minimum << " " << maximum << " " << frequent;
  }
}

PriceRecord example() {
  PriceRecord r;
  r.delegation = "5", r.module = "FRU", r.date = text::Date{2006, 7, 4};
  r.product = 345, r.origin = 7, r.destination = 12, r.presentation = 6;
  r.minimum = "10.00", r.maximum = "12.00", r.frequent = "11.00", r.single = "0.00";
  r.runningNumber = 3, r.source = 1, r.municipality = 1;
  return r;
}

TEST(RecordTypes, InsertAndChangeAreWrittenExactlyAsTheDayBookWritesThem) {
  EXPECT_EQ(capture::updateStatement(example(), 1234),
            "UPDATE Reg_Pre SET  Cve_del=5, Cve_prod=345, Cve_ori=7, Cve_pres=6, Pre_min=10.00, "
            "Pre_max=12.00, Pre_frec=11.00, Pre_uni=0.00, Obs='', Cve_inf=1, Cve_mun=1  where "
            "Consec=1234 ");

  PriceRecord volume = example();
  volume.module = "VOL", volume.transport = 2, volume.volume = "35";
  volume.periodFrom = "2006/07/01", volume.periodTo = "2006/7/4", volume.observations = "O'Hara";
  EXPECT_EQ(capture::insertStatement(volume),
            "INSERT INTO Reg_Pre ( Cve_del, Cve_Mod, Fecha, Cve_prod, Cve_ori, Cve_des, "
            "Cve_pres, Pre_min, Pre_max, Pre_frec, Pre_uni, Consecutivo, Obs, Cve_inf, Cve_mun, "
            "Cve_tra, Vol, Fecha_de, Fecha_a) values (5,'VOL',#2006/7/4#, 345, 7, 12, 6, "
            "10.00,12.00,11.00, 0.00, 3, 'O''Hara', 1, 1, 2, 35, #2006/07/01#, #2006/7/4#)");
}

}  // namespace
