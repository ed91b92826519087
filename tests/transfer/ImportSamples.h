#pragma once

// Files in the layouts of other logbooks, written for these tests from the descriptions of
// the layouts (every value invented).

namespace vantrel::test::samples {

// Fuelly's web export of fuel-ups: newest first, spaces after the commas of the header, US
// units in the header names. Oldest first: full, partial, full (a tank of 320 miles on
// 4 + 11 gallons), then a fill-up after missed ones.
inline constexpr const char* kFuellyFuelups
    = "car_name, model, mpg,  odometer, miles, gallons, price, city_percentage, fuelup_date, date_added, "
      "tags, notes, missed_fuelup, partial_fuelup, latitude, longitude, brand\n"
      "\"Blue wagon\",\"Estate 2.0\",0,31950.0,0,9.800,3.459,40,2022-07-30,2022-07-30 10:00:00,\"\",\"after "
      "a trip abroad\",1,0,,,\"Hilltop\"\n"
      "\"Blue wagon\",\"Estate 2.0\",21.33,31400.0,190.0,11.000,3.399,40,2022-07-12,2022-07-12 "
      "08:12:44,\"work\",\"\",0,0,,,\"Hilltop\"\n"
      "\"Blue wagon\",\"Estate 2.0\",0,31210.0,130.0,4.000,3.429,40,2022-07-05,2022-07-05 "
      "18:30:01,\"\",\"top-up\",0,1,,,\"\"\n"
      "\"Blue wagon\",\"Estate 2.0\",0,31080.0,0,12.250,3.389,40,2022-06-28,2022-06-28 "
      "17:02:10,\"\",\"\",0,0,,,\"\"\n";

inline constexpr const char* kFuellyServices
    = "car_name, model, odometer, price, service_date, date_added, tags, service_type, sub_service_types, "
      "notes, latitude, longitude\n"
      "\"Blue wagon\",\"Estate 2.0\",31500.0,71.40,2022-07-20,2022-07-20 "
      "12:00:00,\"\",\"service\",\"engine_oil,oil_filter\",\"0W-20\",,\n"
      "\"Blue wagon\",\"Estate 2.0\",31520.0,9.00,2022-07-21,2022-07-21 "
      "09:00:00,\"\",\"expense\",\"car_wash\",\"\",,\n";

// Fuelio's backup of one car in kilometres and litres: sections, quoted values with some
// bare empty ones, the log newest first, a cost note over two lines. Oldest first: full,
// partial, full (705 km on 12.5 + 30 litres), then a full fill-up after missed ones; a
// service repeating every 15,000 km or 12 months, and a parking cost.
inline constexpr const char* kFuelio
    = "\"## Vehicle\"\n"
      "\"Name\",\"Description\",\"DistUnit\",\"FuelUnit\",\"ConsumptionUnit\",\"ImportCSVDateFormat\","
      "\"VIN\",\"Insurance\",\"Plate\",\"Make\",\"Model\",\"Year\",\"TankCount\",\"Tank1Type\",\"Tank2Type\","
      "\"Active\",\"Tank1Capacity\",\"Tank2Capacity\",\"FuelUnitTank2\",\"FuelConsumptionTank2\"\n"
      "\"Red hatch\",\"city "
      "car\",\"0\",\"0\",\"0\",\"yyyy-MM-dd\",\"\",\"\",\"AB-12-CD\",\"Makerco\",\"Hatch\",\"2017\",\"1\","
      "\"100\",\"0\",\"1\",\"45.0\",\"0.0\",\"0\",\"0\"\n"
      "\"## Log\"\n"
      "\"Data\",\"Odo (km)\",\"Fuel (litres)\",\"Full\",\"Price (optional)\",\"l/100km "
      "(optional)\",\"latitude (optional)\",\"longitude (optional)\",\"City (optional)\",\"Notes "
      "(optional)\",\"Missed\",\"TankNumber\",\"FuelType\",\"VolumePrice\",\"StationID "
      "(optional)\",\"ExcludeDistance\",\"UniqueId\",\"TankCalc\",\"Weather\"\n"
      "\"2024-05-20 "
      "18:05\",\"84310.0\",\"38.2\",\"1\",\"66.47\",\"0.0\",\"0.0\",\"0.0\",,\"\",\"1\",\"1\",\"110\",\"1."
      "74\",\"0\",\"0.0\",\"4\",\"0.0\",\n"
      "\"2024-05-10 07:30\",\"83610.0\",\"30.0\",\"1\",\"53.40\",\"6.03\",\"0.0\",\"0.0\",\"Fuel Stop - "
      "Riverside\",\"\",\"0\",\"1\",\"110\",\"1.78\",\"0\",\"0.0\",\"3\",\"0.0\",\n"
      "\"2024-05-02 "
      "07:41\",\"83350.0\",\"12.5\",\"0\",\"22.25\",\"0.0\",\"0.0\",\"0.0\",,\"\",\"0\",\"1\",\"110\",\"1."
      "78\",\"0\",\"0.0\",\"2\",\"0.0\",\n"
      "\"2024-04-21 "
      "16:12\",\"82905.0\",\"41.1\",\"1\",\"72.75\",\"0.0\",\"0.0\",\"0.0\",,\"first\",\"0\",\"1\",\"110\","
      "\"1.77\",\"0\",\"0.0\",\"1\",\"0.0\",\n"
      "\"## CostCategories\"\n"
      "\"CostTypeID\",\"Name\",\"priority\",\"color\"\n"
      "\"1\",\"Service\",\"0\",\"\"\n"
      "\"5\",\"Parking\",\"0\",\"\"\n"
      "\"## Costs\"\n"
      "\"CostTitle\",\"Date\",\"Odo\",\"CostTypeID\",\"Notes\",\"Cost\",\"flag\",\"idR\",\"read\","
      "\"RemindOdo\",\"RemindDate\",\"isTemplate\",\"RepeatOdo\",\"RepeatMonths\",\"isIncome\",\"UniqueId\"\n"
      "\"Inspection\",\"2024-05-12 10:00\",\"83700\",\"1\",\"brakes checked\n"
      "filter changed\",\"129.0\",\"0\",\"0\",\"1\",\"0\",\"2011-01-01\",\"0\",\"15000\",\"12\",\"0\",\"5\"\n"
      "\"Car park\",\"2024-05-13 "
      "09:00\",\"0\",\"5\",\"\",\"6.5\",\"0\",\"0\",\"1\",\"0\",\"2011-01-01\",\"0\",\"0\",\"0\",\"0\","
      "\"6\"\n";

// Drivvo's export in its current layout (29 refuelling columns, a number after a closing
// quote in the header), sections in the order of a real file, newest first.
inline constexpr const char* kDrivvo
    = "##Refuelling\n"
      "\"Odometer (km)\",\"Date\",\"Fuel\",\"Price / L\",\"Total cost\",\"Volume\",\"Full tank\",\"Second "
      "fuel\",\"Price / L\",\"Total cost\",\"Volume\",\"Full tank\" 2,\"Third fuel\",\"Price / L\",\"Total "
      "cost\",\"Volume\",\"Full tank\" 3,\"Fuel efficiency\",\"Distance\",\"Charging type\",\"Start charge "
      "(%)\",\"End charge (%)\",\"Duration (min)\",\"Gas station\",\"Driver\",\"Reason\",\"Payment "
      "method\",\"Note\",\"Discount\"\n"
      "\"12900.0\",\"2023-09-30 "
      "08:15:00\",\"Diesel\",\"1.659\",\"66.36\",\"40.0\",\"Yes\",\"\",\"0\",\"0\",\"0\",\"No\",\"\",\"0\","
      "\"0\",\"0\",\"No\",\"6,0 l/100km\",\"660.0\",\"\",\"\",\"\",\"\",\"Motorway "
      "East\",\"\",\"\",\"Card\",\"\",\"0\"\n"
      "\"12240.0\",\"2023-09-18 "
      "19:02:11\",\"Diesel\",\"1.689\",\"16.89\",\"10.0\",\"No\",\"\",\"0\",\"0\",\"0\",\"No\",\"\",\"0\","
      "\"0\",\"0\",\"No\",\"0 l/100km\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"Cash\",\"quick "
      "stop\",\"0\"\n"
      "\"11800.0\",\"2023-09-01 "
      "12:00:00\",\"Diesel\",\"1.699\",\"84.95\",\"50.0\",\"Yes\",\"\",\"0\",\"0\",\"0\",\"No\",\"\",\"0\","
      "\"0\",\"0\",\"No\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"\",\"Card\",\"\",\"0\"\n"
      "\n"
      "##Expense\n"
      "\"Odometer (km)\",\"Date\",\"Total cost\",\"Expense type\",\"Place\",\"Driver\",\"Reason\",\"Payment "
      "method\",\"Note\",\"Title\",\"Discount\"\n"
      "\"0.0\",\"2023-09-05 09:00:00\",\"380\",\"Insurance\",\"\",\"\",\"\",\"\",\"yearly\",\"\",\"0\"\n"
      "\n"
      "##Service\n"
      "\"Odometer (km)\",\"Date\",\"Total cost\",\"Service type\",\"Workshop\",\"Driver\",\"Payment "
      "method\",\"Note\",\"Title\",\"Discount\"\n"
      "\"12500.0\",\"2023-09-22 11:30:00\",\"55\",\"Oil change\",\"Garage North\",\"\",\"\",\"\",\"\",\"0\"\n"
      "\"12500.0\",\"2023-09-22 11:30:00\",\"15\",\"Oil filter\",\"Garage "
      "North\",\"\",\"\",\"\",\"\",\"0\"\n";

// LubeLogger's fuel records from a US server: no units, month-first dates.
inline constexpr const char* kLubeLoggerFuel
    = "Date,Odometer,FuelConsumed,Cost,FuelEconomy,IsFillToFull,MissedFuelUp,Notes,Tags\n"
      "4/3/2024,20100,10.5,36.23,0,True,False,,\n"
      "4/10/2024,20260,5.2,18.10,0,False,False,half tank,cash\n"
      "4/17/2024,20420,5.0,17.45,31.37254901960784,True,False,\"highway, windy\",trip\n";

// LubeLogger's fuel records from a German server: day-first dotted dates, decimal commas.
inline constexpr const char* kLubeLoggerGerman
    = "Date,Odometer,FuelConsumed,Cost,FuelEconomy,IsFillToFull,MissedFuelUp,Notes,Tags\n"
      "04.03.2024,77120,\"41,2\",\"72,51\",0,True,False,,\n"
      "16.03.2024,77700,\"38,6\",\"66,78\",\"6,655172413793103\",True,False,\"Autobahn, Regen\",\n";

inline constexpr const char* kLubeLoggerRepairs
    = "Date,Description,Cost,Notes,Odometer,Tags,extrafield_Workshop\n"
      "4/20/2024,Brake pads,\"$1,204.00\",front axle,20480,brakes,Corner Garage\n";

// A plain table from a spreadsheet.
inline constexpr const char* kPlainTable = "Date,Odometer,Litres,Price per litre,Total,Full,Station,Notes\n"
                                           "2024-02-01,15230,40.5,1.689,68.40,yes,Corner Fuel,\n"
                                           "2024-02-15,15710,18.0,1.709,30.76,no,,top-up\n"
                                           "2024-02-28,16100,22.0,1.719,37.82,yes,,\n";

} // namespace vantrel::test::samples
